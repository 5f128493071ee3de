a = {b = "B"}
c = {d = "D"}
local t = {{1, 2}, {3, 4}}
local u = {a.b, c.d}
local v = {a.b, 1}
print(#t, t[1][1], t[1][2], t[2][1], t[2][2])
print(#u, u[1], u[2], #v, v[1], v[2])
