local café = 1
local é = 2
