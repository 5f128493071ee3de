-- Filling and reading an array table and a keyed table.
local t = {}
for i = 1, 1000000 do
  t[i] = i * 2
end
local s = 0
for i = 1, #t do
  s = s + t[i]
end
local h = {}
for i = 1, 400000 do
  h["k" .. "x"] = i
  h.count = i
end
print(s, h.count)
