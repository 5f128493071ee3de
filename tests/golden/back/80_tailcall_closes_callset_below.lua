local function show(g) local junk = 99 return g() end
local function f()
  local x = 1
  local g = function() return x end
  x = 2
  return show(g)
end
print(f())
local r = 5
local function none() end
r = none()
print(r)
