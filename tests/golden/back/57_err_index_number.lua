local n = 5
print(n.x)
