local a, b = 1, 2
a, b = b, a
print(a, b)
local t = {}
local k = "k"
t.x, t[1], t[k], a = 10, 20, 30
print(t.x, t[1], t[k], a)
local function f() print("called") return 9 end
a, b = 5, 6, f()
print(a, b)
