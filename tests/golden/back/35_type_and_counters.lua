local c = new_counter()
local d = new_counter()
c()
c()
d()
local f = function() end
local g = function() return c end
print(type(nil), type(true), type(1), type(1.5), type("s"), type({}), type(print), type(c), type(f), type(g))
local e = c
e()
