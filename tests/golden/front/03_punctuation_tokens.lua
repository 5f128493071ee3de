local t = {x = 1; [2] = "b"}
function t:m(...) return self.x, ... end
::top::
print(t:m("a" .. "b", t[2] .. "c"))
