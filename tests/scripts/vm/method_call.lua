local obj = {v = 4}
function obj.get(self, k) return self.v + k end
print(obj:get(1))
