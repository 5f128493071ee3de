local a = 7 // 2
local b = 1.0 // 0
local c = 1 // 0
