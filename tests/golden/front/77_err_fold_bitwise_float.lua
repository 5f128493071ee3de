local a = 3 & 1.0
local b = 3 & 1.5
