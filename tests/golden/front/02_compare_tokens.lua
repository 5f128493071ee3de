local a, b = 1, 2
local c, d, e = a == b, a ~= b, a <= b
if a >= b then print(1) end
if a < b then print(2) end
if a > b then print(3) end
print(c, d, e)
