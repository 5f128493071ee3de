local n = 5
print("before")
n()
