local fs = {}
for i = 1, 3 do
  fs[i] = function() return i end
  if i == 2 then continue end
end
local k = 0
while true do
  k = k + 1
  local c = k
  fs[k + 3] = function() return c end
  if k == 2 then break end
end
print(fs[1](), fs[2](), fs[3](), fs[4](), fs[5]())
