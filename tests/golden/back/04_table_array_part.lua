local t = {}
t[3] = "c"
print(#t, t[1], t[3])
t[4] = "d"
print(#t, t[4])
local u = {}
u[4] = 1
u[0] = 0
print(#u, u[4], u[0])
local w = {}
for i = 1, 10 do w[i] = i end
w[31] = 31
print(#w, w[20], w[31])
local z = {1, 2, 3}
z[5] = 5
local y = {1, 2, 3}
y[6] = 6
print(#z, z[4], z[5], #y, y[6])
