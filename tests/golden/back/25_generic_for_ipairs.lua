local t = {10, 20, 30}
for i, v in ipairs(t) do print(i, v) end
local h = {}
h[1] = 1
h[3] = 3
for i, v in ipairs(h) do print(i, v) end
for k in ipairs({x = 1}) do print(k) end
