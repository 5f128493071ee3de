local a = "abcdefghijklmn"
local b = "abcdefghijklmno"
local c = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJK"
local d = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKL"
print(#a, #b, #c, #d, "\xff")
