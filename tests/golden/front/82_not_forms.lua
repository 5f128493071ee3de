local a, b = 1, 2
local x = not (a < b)
local y = not not a
local z = not nil == true
if not (a == b) then print("ne") end
print(x, y, z)
