g = 1
local function outer()
  local function inner()
    g = g + 1
    h = "set"
  end
  inner()
  return g
end
print(outer(), h)
