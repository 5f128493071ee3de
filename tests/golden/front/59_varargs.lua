local function v(...)
  local a, b = ...
  local t = {...}
  print(a, b, #t, ...)
  return ...
end
print(v(1, 2, 3))
print((v(4, 5)))
