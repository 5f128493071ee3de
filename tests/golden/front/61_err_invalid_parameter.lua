local function f(a b) end
