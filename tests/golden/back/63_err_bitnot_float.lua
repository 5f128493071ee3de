local f = 5.0
print(~f)
