for i = 1, 2, 0.5 do print(i) end
for i = 3, 1.5, -1 do print(i) end
