local function f() return 1 end
local function g() return 2, 3 end
local a = {b = 4}
local t1 = {f(), g()}
local t2 = {a.b, 5, g()}
local t3 = {1, a and 7, x = g()}
local t4 = {g(), nil}
print(#t1, t1[3], #t2, t2[1], t2[4], #t3, t3[2], t3.x, #t4)
