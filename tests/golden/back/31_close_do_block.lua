local get
do
  local v = 1
  get = function() return v end
  v = 2
end
local w = 3
print(get())
