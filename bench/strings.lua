-- Building strings with the concatenation operator.
local n = 0
for i = 1, 1000000 do
  local s = "item" .. "-"
  s = s .. "value"
  s = s .. s
  if #s > 0 then n = n + 1 end
end
local long = ""
for i = 1, 2000 do
  long = long .. "abcdefghij"
end
print(n, #long)
