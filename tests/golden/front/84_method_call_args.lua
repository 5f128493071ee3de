local o = {n = 1}
function o:get(a, b) return self.n, type(a), b end
local s = "str"
print(o:get "x")
print(o:get {1})
print(o:get(s, o.n))
print(type "lit", type {}, #o)
