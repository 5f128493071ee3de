local function f() return {5, 6} end
local function g() return 2 end
t = {10, 20}
print(f()[g()], t[g()])
t[g()] = "x"
print(t[2])
print((nil or f())[g()])
