local x = 5
local t = {1, 2; x = 1, 3; [x] = "five", x, "s",}
print(#t, t[1], t[4], t.x, t[5], t[x])
