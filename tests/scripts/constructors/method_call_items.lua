local o = {v = 5}
function o:get(d) return self.v + d end
local t = {o:get(1), o:get(2)}
print(#t, t[1], t[2])
