local t = {}
local nz, one, half = -0.0, 1.0, 0.5
t[nz] = "zero"
t[one] = "one"
t[half] = "half"
print(t[0], t[1], t[0.5], #t)
t()
