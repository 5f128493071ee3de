local x = 2
if x == 1 then
  print("one")
elseif x == 2 then
  local y = x * 10
  print(y)
else
  print("other")
end
do
  local c = x
  local function get() return c end
  print(get())
end
if x then print("t") else print("f") end
