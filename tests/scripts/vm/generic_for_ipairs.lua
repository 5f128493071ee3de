local t = {"a", "b"}
for i, v in ipairs(t) do print(i, v) end
