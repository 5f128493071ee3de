local function f(a, b) return a, b end
local function g(...) return ... end
local x, y, z = f(1)
print(x, y, z)
local p = f()
print(p)
print(f(1, 2, 3))
print(g())
print(g(1, nil, 3))
local function tail(n) return f(n, n + 1) end
print(tail(5))
