local fs, i = {}, 1
::top::
local j = i
fs[i] = function() return j end
if i < 3 then
  i = i + 1
  goto top
end
goto skip
print("skipped")
::skip:: ::also::
do
  goto done
  local z = 1
  ::done::
end
print(fs[1](), fs[2](), fs[3]())
