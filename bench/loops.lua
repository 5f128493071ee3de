-- Nested numeric loops with integer arithmetic.
local sum = 0
for i = 1, 300 do
  for j = 1, 300 do
    for k = 1, 60 do
      sum = sum + i * j - k
    end
  end
end
print(sum)
