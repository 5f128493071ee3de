local function f() end
(1) = 2
