local function outer()
  local x = 1
  local function mid()
    return function() x = x + 10 end
  end
  local bump = mid()
  bump()
  return x
end
print(outer())
