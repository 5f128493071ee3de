local t
print(t[t])
