-- ipairs over a large array.
local t = {}
for i = 1, 1000000 do
  t[i] = i
end
local s = 0
for _, v in ipairs(t) do
  s = s + v
end
for i, v in ipairs(t) do
  s = s - i
end
print(s)
