local function f() return {5, 6} end
local function g() return 2 end
local a = {b = {7, 8}}
t = {10, 20, 30}
print(f()[g()], a.b[g()], t[g()])
t[g()] = "x"
print(t[2])
