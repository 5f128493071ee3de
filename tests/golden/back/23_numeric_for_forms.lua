for i = 3, 1 do print(i) end
for i = 3, 0.5, -1 do print(i) end
for i = 1, 2.5 do print(i) end
for x = 0.5, 1.5, 0.5 do print(x) end
for i = 1, -1e300 do print(i) end
for i = 10, 1, -4 do print(i) end
