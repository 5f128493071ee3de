local s = "abc"
print(s[1])
