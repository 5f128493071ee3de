local a, b = 1, "x"
print(a < b)
