local x, s = 3, "b"
print(x == 1, 1 == x, x ~= 300, x == "a", "b" == s, x == nil, 1.5 == x)
print(x < 5, 5 < x, x <= 2.5, x > -1, x >= 3, s < "c")
