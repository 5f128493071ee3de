local a, b, c = 70000, 70000.0, 70000
local d, e = 0.0, -0.0
local f, g = 0/0, 0/0
local s1, s2 = "dup", "dup"
local function inner() return "dup", 1.0 end
x = 70000
y = 70000.0
print(a, b, e, f == f, s1 == s2, x, y, inner())
