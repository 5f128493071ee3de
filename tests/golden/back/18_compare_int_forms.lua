local x, y, s = 1, 1.0, "1"
print(x == 1, y == 1, s == 1, 1 == y)
print(x ~= 1, y ~= 1, s ~= 1)
local w, z = 2.5, -0.5
print(w <= 2, w > 2, w < 3, w >= 3, z < 0, z >= 0)
local n = 0/0
print(n < 1, n <= 1, n > 1, n >= 1, n == 1, n ~= 1)
if y == 1 then print("eq") end
if w > 2 then print("gt") else print("le") end
