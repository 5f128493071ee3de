local a, b, c = 1, 2
a, b = b, a
print(a, b, c)
a, b, c = 7
print(a, b, c)
a, b = 5, 6, print("never")
print(a, b)
