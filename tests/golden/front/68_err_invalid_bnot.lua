local a = ~1
local x = ~1.0
