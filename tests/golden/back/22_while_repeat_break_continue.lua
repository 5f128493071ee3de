local i = 0
while i < 3 do
  i = i + 1
  if i == 2 then continue end
  print(i)
end
local n = 0
repeat
  n = n + 1
  if n > 2 then break end
until n >= 10
print(n)
