local function v(a, b, ...)
  local c = ...
  print(a, b, c, ...)
end
v(1)
v(1, 2, 3, 4)
