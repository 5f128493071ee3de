local function outer()
  local n = 0
  return function()
    return function() n = n + 1 return n end
  end
end
local mk = outer()
local a = mk()
local b = mk()
print(a(), b(), a())
