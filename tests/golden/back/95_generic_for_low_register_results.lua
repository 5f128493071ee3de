local function it(s, c)
  print(s, c)
  if c == 0 then return s end
end
for v in it, 5, 0 do end
