local y
repeat
  if y then continue end
  local z = 1
until z
