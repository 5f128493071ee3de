local a, b, n = 1, "b", nil
local x = a and b
local y = n and b
local z = n or b
local w = a or b
print(x, y, z, w)
if a and n then print("no") else print("and false") end
if n or a then print("or true") end
a = a and false
print(a)
