local v = 3
local function f() return 4 end
local t = {a = nil, b = false, c = 1, d = 2.5, e = "s", f = function() end, g = v, h = f(), [1] = v, [2] = "two", [v] = "three", [v] = v, ["str"] = 1}
print(t.a, t.b, t.c, t.d, t.e, type(t.f), t.g, t.h, t[1], t[2], t[3], t.str)
