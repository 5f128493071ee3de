local a, b = 1, 2
a, b = b, a
print(a, b)
local function f() return 7, 8, 9 end
local t = {}
x, t.y, t[1], a = f()
print(x, t.y, t[1], a)
b, x = 5, f(), 6
print(b, x)
a, b, x = 3
print(a, b, x)
