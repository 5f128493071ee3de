local a, b, c = 1, 2, nil
local x = a < b or c
local y = b < a or c
local z = c and a < b
local w = a and a < b
local v = c or a < b
local u = a < b and b < a or "no"
print(x, y, z, w, v, u)
