local function make()
  local n = 0
  local function inc() n = n + 1 return n end
  local function reset() n = 100 end
  return inc, reset
end
local inc, reset = make()
print(inc(), inc())
reset()
print(inc())
