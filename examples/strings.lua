-- String building: strings join only with strings, so numbers are spelled
-- out digit by digit.

local DIGITS = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}

-- The decimal text of an integer; // and % truncate toward zero, so a
-- negative number is made positive first.
local function itoa(n)
  if n == 0 then return "0" end
  local sign = ""
  if n < 0 then
    sign = "-"
    n = -n
  end
  local s = ""
  repeat
    s = DIGITS[n % 10 + 1] .. s
    n = n // 10
  until n == 0
  return sign .. s
end
print(itoa(0), itoa(7), itoa(-42), itoa(9000000000000000000))

local function join(list, sep)
  local out = ""
  for i, item in ipairs(list) do
    if i > 1 then out = out .. sep end
    out = out .. item
  end
  return out
end

local function rep(s, n)
  local out = ""
  for _ = 1, n do
    out = out .. s
  end
  return out
end

local function pad_left(s, width)
  return rep(" ", width - #s) .. s
end

-- A global function, visible to everything after it runs.
function describe(name, ...)
  local parts = {...}
  return name .. ": " .. join(parts, ", ")
end

-- FizzBuzz, with if/elseif/else.
local words = {}
for i = 1, 15 do
  if i % 15 == 0 then
    words[#words + 1] = "FizzBuzz"
  elseif i % 3 == 0 then
    words[#words + 1] = "Fizz"
  elseif i % 5 == 0 then
    words[#words + 1] = "Buzz"
  else
    words[#words + 1] = itoa(i)
  end
end
print(join(words, " "))

-- A right-aligned table of multiples.
for i = 1, 12, 4 do
  print(pad_left(itoa(i), 2) .. " x 7 = " .. pad_left(itoa(i * 7), 3))
end

-- continue skips the empty fields.
local fields = {"name", "", "age", "", "city"}
local kept = ""
local i = 0
while i < #fields do
  i = i + 1
  if fields[i] == "" then
    continue
  end
  kept = kept .. "[" .. fields[i] .. "]"
end
print(kept)

-- Strings compare byte by byte: an insertion sort.
local names = {"pear", "apple", "fig", "banana", "cherry"}
for k = 2, #names do
  local v = names[k]
  local j = k - 1
  while j >= 1 and names[j] > v do
    names[j + 1] = names[j]
    j = j - 1
  end
  names[j + 1] = v
end
print(join(names, ", "))
print(describe("fruit", names[1], names[#names]))
print(itoa(#"hello"), rep("ab", 3), "tab\there", "quote \"q\"")
