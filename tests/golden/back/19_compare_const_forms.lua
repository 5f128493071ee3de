local x, f, s = 300, 1.5, "b"
print(x == 300, x ~= 300, f == 1.5, s == "b", s ~= "a")
print(x < 1000, x <= -1, f > 1.25, f >= 2.5, s < "c", s > "c")
print(x == 300.0, x <= 300.5, s >= "b")
