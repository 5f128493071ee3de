local function f(x) return x end
local a
print(1 - f(2), "n=" .. f("v"), 0 < f(1), 10 - (a or 4))
