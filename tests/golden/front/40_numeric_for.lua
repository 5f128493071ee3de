for i = 1, 3 do print(i) end
for i = 10, 1, -4 do print(i) end
for x = 1.0, 2 do print(x) end
for i = 3, 1 do print(i) end
local s = 0
for i = 1, 2.5 do s = s + i end
print(s)
