local a, b = 1, 2
a = nil
print(a, b)
local x = 5
for i = 1, 2 do
  x = nil
  print(i, x)
end
