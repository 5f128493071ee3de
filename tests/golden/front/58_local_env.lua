local _ENV = {print = print, x = 5}
local function f() return x end
print(x, f())
y = 7
print(y)
