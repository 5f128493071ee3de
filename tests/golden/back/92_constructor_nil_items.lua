local t = {nil, nil, 3}
local u = {n = nil}
print(#t, t[3], u.n)
for i, v in ipairs(t) do print(i, v) end
