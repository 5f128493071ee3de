local t = {}
t.x = 1
t.x = nil
t.y = nil
local nan = 0/0
t[nan] = 1
t[nan] = 2
t[10] = "h"
for i = 1, 10 do t[i] = i end
t()
