local f = 3.5
print(f & 1)
