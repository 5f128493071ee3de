local n = 0
::top::
n = n + 1
if n < 3 then goto top end
local fns = {}
for i = 1, 3 do
  local x = i * 10
  fns[i] = function() return x end
  if i == 2 then goto done end
end
::done::
print(n, fns[1](), fns[2]())
