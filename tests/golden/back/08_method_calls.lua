local obj = {n = 5}
function obj:get(d) return self.n + d end
print(obj:get(2))
obj.inner = {}
function obj.inner.f(x) return x * 2 end
print(obj.inner.f(21))
