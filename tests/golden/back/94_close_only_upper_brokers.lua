local a = 1
local ga, gb
do
  local b = 2
  gb = function() return b end
  ga = function() return a end
  b = 20
end
local c = 99
a = 10
print(ga(), gb())
