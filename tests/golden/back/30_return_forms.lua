local function two() return 7, 8 end
local function many(x) return x, two() end
local function early(x)
  if x then return end
  return;
  print("never")
end
print(many(1))
print(early(true), early(false))
two()
local q = 5
print(q)
