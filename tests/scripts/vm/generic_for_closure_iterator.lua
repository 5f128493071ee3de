local function range(n)
  local i = 0
  return function()
    i = i + 1
    if i <= n then return i, -i end
  end
end
for a, b in range(2) do print(a, b) end
