local fs = {}
local i = 1
::top::
local j = i * 10
fs[i] = function() j = j + 1 return j end
i = i + 1
if i <= 2 then goto top end
print(fs[1](), fs[1](), fs[2]())
