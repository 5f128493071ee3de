local t = {}
print(t | 1)
