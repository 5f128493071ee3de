local function f() return 1 end
local x = f() @ 2
