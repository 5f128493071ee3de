local function f() return 1, 2, 3 end
local a, b, c = 1
local d, e = f()
local g = 1, f()
local h
local i, j, k = 4, f()
local f = f
print(a, b, c, d, e, g, h, i, j, k)
