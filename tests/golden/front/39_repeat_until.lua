local n = 0
repeat
  local m = n + 1
  n = m
  if n == 2 then continue end
  print(n)
until m >= 3
print(n)
