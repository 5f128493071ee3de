local x = 1.0
print(x == 1, x ~= 1, x < 1)
