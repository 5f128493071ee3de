local a, b = 7, -3
local f, g = 7.5, 2.0
print(a % b, -a % 3, a % 3, a % 1000, f % 2, a % g, f % -2.0)
print(a // b, -a // 2, a // 2, a // 1000, f // 2, -f // g, a // 2.5)
print(a / b, a / 2, a / 0.5, b / 0, f / g)
print(a ^ b, a ^ 2, g ^ 0.5, g ^ g)
