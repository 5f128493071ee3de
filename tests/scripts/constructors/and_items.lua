local function f() return 7, 8 end
local a, b = false, "x"
local t = {1, a and b}
local u = {a and b, f()}
local w = {b and a, x = 1, b and b}
print(#t, t[1], t[2])
print(#u, u[1], u[2], u[3])
print(#w, w[1], w[2], w.x)
