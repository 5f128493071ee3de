local i, s = 0, 0
while i < 5 do
  i = i + 1
  if i == 2 then continue end
  if i == 4 then break end
  s = s + i
end
print(i, s)
