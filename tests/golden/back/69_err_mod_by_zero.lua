local a, z = 7, 0
print(a % z)
