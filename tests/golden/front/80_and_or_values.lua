local a, b, c = nil, 2, false
local x = a and b
local y = a or b
local z = b and c
local w = c or nil
a = a or b
b = b and a
local n1 = nil or b
local n2 = false or b
local t1 = true or b
local t3 = 1 and b
local v = a and b or c
print(x, y, z, w, a, b, n1, n2, t1, t3, v)
