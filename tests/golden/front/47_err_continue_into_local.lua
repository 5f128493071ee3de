repeat
  if x then continue end
  local y = 1
until y
