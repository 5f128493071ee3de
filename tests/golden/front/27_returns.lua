local function a() return end
local function b() return; end
local function c(x) return x end
local function d(x) return c(x) end
local function e(x) return 1, c(x) end
local function f(x, y) return y, x; end
local function g() return; print("dead") end
print(a(), b(), c(1), d(2), e(3))
print(f(4, 5))
g()
