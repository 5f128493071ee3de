local fs = {}
for i = 1, 3 do
  local j = i * 10
  fs[i] = function() return i + j end
end
print(fs[1](), fs[2](), fs[3]())
local x = 1
local function get() return x end
x = 2
print(get())
