-- A 1,000,000-element array table, for peak memory.
local t = {}
for i = 1, 1000000 do
  t[i] = i
end
print(#t)
