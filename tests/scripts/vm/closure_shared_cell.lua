local n = 0
local function inc() n = n + 1 return n end
local function get() return n end
inc()
print(inc(), get())
