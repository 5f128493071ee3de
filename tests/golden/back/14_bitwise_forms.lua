local a, b = 12, 10
local f = 3.0
local one = 1
print(a & b, a & 7, a & 1000, a & f, f & 2.0)
print(a ~ b, a ~ 5, a ~ -1, a | b, a | 3, a | 256)
print(a << 2, one << b, one << -1, one << 64, f << 1.0)
print(a >> 2, -a >> 1, a >> one, -a >> 1000, a >> 2.0)
