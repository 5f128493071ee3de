local s = 0
for i = 1, 2, s do print(i) end
