local i = 0
while i < 5 do
  i = i + 1
  if i == 2 then continue end
  if i == 4 then break end
  print(i)
end
print("done", i)
