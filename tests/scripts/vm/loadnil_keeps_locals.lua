local a, b = 1, "x"
local c = a
a = nil
print(a, b, c)
