local a, b = 7, 2
local x = 2.5
print(a + b, a + 1, a + 1000, a + x, x + 1)
print(a - b, a - 1, a - 1.5, a - -1, b - a)
print(a * b, a * 3, a * 0.5, x * x)
local m = 9223372036854775807
print(m + 1, m * 2, -m - 2)
