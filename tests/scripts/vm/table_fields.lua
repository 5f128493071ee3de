local t = {10, 20, x = "f"}
t[4] = 40
t.y = t.x
print(#t, t[1], t[4], t.y, t[3])
