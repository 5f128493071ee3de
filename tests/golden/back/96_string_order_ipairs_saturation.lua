local hi, lo = "\xff", "a"
local a = "0123456789012345678901234"
local x, y = a .. a, a .. a
local e1, e2 = "", ""
print(hi > lo, x == y, x < y, x <= y, e1 .. e2 == e1, "b" > "ab")
local f, s = ipairs({"first"})
print(f(s, 0/0))
print(f(s, 1e300), f(s, -1e300))
