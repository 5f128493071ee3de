local a, b = 7, -2
print(a // b, a % b, a / b, a ^ 2, 3.5 // a)
print(a << 62, a >> 1, a & 3.0, ~a)
