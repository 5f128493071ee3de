local a, b, c, d, e = 2, 3, 4, 5, "e"
local x = a + b * c ^ d ^ a
local y = e .. "f" .. "g"
local z = a - b - c
local w = -a ^ b
local v = not a == b
local u = #"abc" + a
local s = a or b and c
local r = a < b == c
print(x, y, z, w, v, u, s, r)
