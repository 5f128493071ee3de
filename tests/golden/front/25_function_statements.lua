local t = {a = {}}
function t.a.b(x, y,) return x + y end
function t:m(k) return self.a.b(k, 1) end
function g(...) return ... end
print(t.a.b(1, 2), t:m(5), g(7, 8))
