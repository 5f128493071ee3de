local function f(a, b) return a + b end
local function g() return 5, 6 end
local x, y = 1, 2
local t = {f(x, y), g()}
print(#t, t[1], t[2], t[3])
