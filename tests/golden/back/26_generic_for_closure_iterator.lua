local function range(n)
  local i = 0
  return function()
    i = i + 1
    if i <= n then return i, i * i end
  end
end
for x y in range(2) do print(x, y) end
