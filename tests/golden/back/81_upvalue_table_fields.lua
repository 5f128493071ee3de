local t = {x = 1}
local function f(v)
  t.y = v
  t["z"] = 3
  return t.x + t.y + t.z
end
print(f(10), t.y)
