local function two() return 1, 2 end
local function none() end
print(two(), two())
print(two(), "x")
print(none(), none())
print(none())
