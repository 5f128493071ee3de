local function f() return {1} end
local t = {1 2}
