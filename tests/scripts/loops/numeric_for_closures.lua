local fns = {}
for i = 1, 3 do
  fns[i] = function() return i end
  if i < 3 then continue end
end
for i = 1, 3 do
  local j = i * 10
  fns[i + 3] = function() return j end
  if i == 2 then break end
end
print(fns[1](), fns[2](), fns[3](), fns[4](), fns[5]())
