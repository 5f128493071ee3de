local a = -1
local x = - "a"
