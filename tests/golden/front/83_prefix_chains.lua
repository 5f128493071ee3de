local a = {b = {c = {d = 4}}}
local x = a.b.c.d
local function f() return a.b.c.d, g.h end
g = {h = "gh"}
local t = {[1] = "i1", [256] = "i256", [-1] = "im1", s = "fs"}
print(x, f())
print(t[1], t[256], t[-1], t[1.0], t["s"], t.s)
