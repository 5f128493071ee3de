for i = 1, 10 do
  print(i)
  i = i + 3
end
local nan = 0/0
for i = -1, nan do print(i) end
for i = 1, nan, -1 do print(i) end
for x = 1.0, nan do print(x) end
