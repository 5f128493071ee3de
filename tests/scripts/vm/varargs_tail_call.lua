local function pick(...)
  local a, b = ...
  return b, a
end
local function tail(x)
  return pick(x, x * 2)
end
print(tail(3))
