local t = {10, 20, 30}
for i, v in ipairs(t) do print(i, v) end
local function iter(s, c)
  if not c then return 1 end
  if c < s then return c + 1 end
end
for k in iter, 2 do print(k) end
for a, b c in iter, 3, 1, 99 do print(a, b, c) break end
