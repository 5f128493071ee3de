local function f() return 1, 2 end
local function g() return 3, 4 end
local t = {f(), g()}
print(#t, t[1], t[2], t[3])
