local t = {}
t[10] = "h"
for i = 1, 9 do t[i] = i end
t[10] = "a"
print(#t, t[10])
local n = nil
t[n] = "nil key"
print(t[n])
local f = 2.0
t[f] = "two"
print(t[2], t[f], #t)
local g = 20.0
t[g] = "twenty"
print(t[20], #t)
local nan = 0/0
t[nan] = 1
print(t[nan])
