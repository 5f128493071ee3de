local function range(n)
  local i = 0
  return function()
    i = i + 1
    if i <= n then return i, i * i end
  end
end
for x, y in range(2) do print(x, y) end
local fns = {}
for k, v in ipairs({"a", "b", "c"}) do
  fns[k] = function() return v end
  if k == 2 then break end
end
print(fns[1](), fns[2]())
