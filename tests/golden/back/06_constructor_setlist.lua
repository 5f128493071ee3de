local function three() return 1, 2, 3 end
local function none() end
local a = {10, 20, three()}
local b = {three(), 5}
local c = {none()}
local d = {x = 1, [3] = "c", ["k"] = true, 7}
print(#a, a[3], a[5], #b, b[1], b[2], #c, #d, d[1], d[3], d[4], d.x, d.k)
