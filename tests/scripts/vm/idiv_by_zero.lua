local z = 0
print(1 // z)
