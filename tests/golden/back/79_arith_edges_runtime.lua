local fz, f, g = 0.0, 7.5, -7.5
local a, b, n = 7, -3, -1
local inf = 1e308 * 10
print(f % fz, g % 2, a % b, -a // 2, a // fz, inf // 2, -inf // 2, fz // fz)
print(a << n, a >> n, -a >> n, a << 65, a / 0, -a / 0.0)
