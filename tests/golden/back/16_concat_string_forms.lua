local a = "abcdefghijklmn"
local b = "o"
local c = a .. b
local d = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJK"
local e = d .. "L"
print(#a, #c, #d, #e)
print(c, e)
print(a .. b == "abcdefghijklmno", c < d, "ab" .. "cd")
