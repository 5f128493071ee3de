local function f() end
f
y = 1
