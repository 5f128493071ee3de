local function f(...) return function() return ... end end
