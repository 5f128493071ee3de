local s = "n="
local n = 5
print(s .. n)
