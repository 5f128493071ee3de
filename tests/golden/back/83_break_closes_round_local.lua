local fs = {}
local i = 0
while true do
  i = i + 1
  local v = i
  fs[i] = function() return v end
  if i == 2 then break end
end
print(fs[1](), fs[2]())
