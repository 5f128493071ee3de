local a, b = 0.1, 0.2
local big = 1e21
print(a + b, big, big * 10, 2^53, 2^63)
print(-2^-20, 1/3, 100 * 1.5, 5e-324, 1.7976931348623157e308, 123e-7)
