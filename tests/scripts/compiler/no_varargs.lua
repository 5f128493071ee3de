local function f() return ... end
