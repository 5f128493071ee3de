local t = {}
local v = "v"
local k = "key"
t.a = 1
t.b = v
t[1] = 10
t[2] = v
t[k] = 20
t[v] = k
print(t.a, t.b, t[1], t[2], t[k], t.v, t.key)
