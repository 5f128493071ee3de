local function set(v) g = v end
set(5)
print(g)
local _ENV = {print = print}
x = 1
print(x, g)
