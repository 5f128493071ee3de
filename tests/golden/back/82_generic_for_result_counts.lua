local function it(s, c)
  if c < s then return c + 1, "a", "b", "c" end
end
for i in it, 2, 0 do print(i) end
for i, x, y, z, w in it, 1, 0 do print(i, x, y, z, w) end
for n in new_counter() do print("never") end
