local a, b, c = 1, 2, 1.0
print(a == b, a == c, a ~= b, a ~= c)
print(a < b, b < a, a <= c, b <= a)
print(a > b, b > a, a >= c, a >= b)
local s, t = "a", "b"
print(s < t, s >= t, s == t)
