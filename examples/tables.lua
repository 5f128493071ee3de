-- Tables: constructors, fields, ipairs, and objects with methods.

-- Positional, keyed and bracketed entries in one constructor; # counts the
-- positional part.
local point = {3, 4, x = 1, y = 2, ["two words"] = true, [10] = "ten"}
print(point[1], point[2], point.x, point.y, point["two words"], point[10], #point)

-- A do block has its own locals.
do
  local point = {0, 0}
  point[1] = 99
  print(point[1])
end
print(point[1])

-- Nested tables and dotted function names.
local geometry = {shapes = {}}
function geometry.shapes.rect(w, h)
  return {w = w, h = h, kind = "rect"}
end
function geometry.area(s)
  return s.w * s.h
end
local r = geometry.shapes.rect(6, 7)
print(r.kind, geometry.area(r))

-- An object: methods are fields whose first parameter is self.
local Stack = {}
function Stack.new()
  return {items = {}, size = 0, push = Stack.push, pop = Stack.pop}
end
function Stack:push(v)
  self.size = self.size + 1
  self.items[self.size] = v
  return self
end
function Stack:pop()
  if self.size == 0 then return nil end
  local v = self.items[self.size]
  self.size = self.size - 1
  return v
end

local s = Stack.new()
s:push("a"):push("b"):push("c")
print(s:pop(), s:pop(), s.size)
print(s:pop(), s:pop())

-- Building a list and walking it with ipairs.
local squares = {}
for i = 1, 8 do
  squares[#squares + 1] = i * i
end
local sum = 0
for _, v in ipairs(squares) do
  sum = sum + v
end
print(#squares, sum)

-- A numeric for with a negative step.
local picked = {}
for i = #squares, 1, -2 do
  picked[#picked + 1] = squares[i]
end
print(picked[1], picked[2], picked[3], picked[4], #picked)

-- break leaves the loop at the first match.
local first_big
for i, v in ipairs(squares) do
  if v > 30 then
    first_big = i
    break
  end
end
print(first_big, squares[first_big])

-- Grouping records by a field.
local people = {
  {name = "Ada", age = 36},
  {name = "Brian", age = 52},
  {name = "Cleo", age = 17},
  {name = "Dan", age = 36},
}
local by_age = {}
local adults = 0
for _, p in ipairs(people) do
  if p.age >= 18 then adults = adults + 1 end
  local group = by_age[p.age]
  if group == nil then
    group = {}
    by_age[p.age] = group
  end
  group[#group + 1] = p.name
end
print(adults, #by_age[36], by_age[36][1], by_age[36][2], by_age[17][1])

-- Multiple assignment swaps without a temporary.
local a, b = 1, 2
a, b = b, a
squares[1], squares[8] = squares[8], squares[1]
print(a, b, squares[1], squares[8])
