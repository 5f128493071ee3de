local s = "10"
print(s + 1)
