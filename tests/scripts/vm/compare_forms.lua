local x = 2.5
print(x < 3, x >= 3, x == 2.5, "a" < "b")
