local function pack(...) return {...} end
local function first(...) return {..., 0} end
local p = pack(1, 2, 3)
local q = first(4, 5)
print(#p, p[1], p[3], #q, q[1], q[2])
