local a, b = 7, 2
print(a + b, a - b, a * b, a / b, a % b, a ^ b, a // b)
print(a & b, a | b, a ~ b, a << b, a >> b, ~a, -a, #"abc")
