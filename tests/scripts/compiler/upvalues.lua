local count = 0
local function outer()
  local function inner()
    count = count + 1
    return count
  end
  return inner
end
local f = outer()
f()
print(f(), count)
