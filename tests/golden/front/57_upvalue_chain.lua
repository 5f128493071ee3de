local a, b = 1, 2
local function outer()
  local c = 3
  local function mid()
    local function inner()
      return a + b + c + g
    end
    return inner
  end
  return mid()
end
g = 10
print(outer()())
