local function two() return 7, 8 end
local function g(...)
  two()
  local a, b = ...
  return a, b
end
print(g(1, 2))
