local s, n = "n=", 5
print(s .. n)
