local i, f = 9007199254740993, 9007199254740992.0
local m, p = 9223372036854775807, 2^63
print(i == f, i <= f, i < f, f < i, m == p, m < p)
local t = {}
t[p] = "big"
print(t[m])
