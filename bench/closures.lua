-- Many small closure calls sharing upvalues.
local function counter()
  local c = 0
  return function(d)
    c = c + d
    return c
  end
end
local f = counter()
local g = counter()
for i = 1, 600000 do
  f(1)
  g(2)
end
print(f(0), g(0))
