local obj = {n = 10}
function obj:add(k) self.n = self.n + k return self end
obj:add(1):add(2)
print(obj.n)
