local a, b, c = nil, 1, 2
local x = a and b < c
local y = (b < c) or a
local z = b and b > c
local w = (c < b) and a
print(x, y, z, w)
