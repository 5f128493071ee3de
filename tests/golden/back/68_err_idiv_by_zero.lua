local a = 7
print(a // 0)
