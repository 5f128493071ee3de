local function f(a, 1) end
