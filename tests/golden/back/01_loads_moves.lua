local a
local b, c = true, false
local d = 32767
local e = -32768
local f = 32768
local g = 1.5
local h = "hi"
local i = d
print(a, b, c, d, e, f, g, h, i)
