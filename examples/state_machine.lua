-- State machines written with goto: each state is a label, each transition
-- a jump.

local DIGIT = {["0"] = 0, ["1"] = 1, ["2"] = 2, ["3"] = 3, ["4"] = 4,
               ["5"] = 5, ["6"] = 6, ["7"] = 7, ["8"] = 8, ["9"] = 9}

-- Reads an optionally signed integer from a list of one-character strings.
-- Returns the value, or nil and the position of the first bad character.
local function parse_int(chars)
  local pos, sign, value = 1, 1, 0
  local c = chars[pos]
  if c == "-" then
    sign = -1
    pos = pos + 1
  elseif c == "+" then
    pos = pos + 1
  end
  c = chars[pos]
  if DIGIT[c] == nil then goto fail end
  ::digits::
  value = value * 10 + DIGIT[c]
  pos = pos + 1
  c = chars[pos]
  if c == nil then goto done end
  if DIGIT[c] ~= nil then goto digits end
  ::fail::
  do
    return nil, pos
  end
  ::done::
  return sign * value
end

print(parse_int({"1", "2", "3"}))
print(parse_int({"-", "4", "0", "7"}))
print(parse_int({"+", "9"}))
print(parse_int({"1", "x", "2"}))
print(parse_int({"-"}))
print(parse_int({}))

-- A coin-operated turnstile driven by a list of events.
local function turnstile(events)
  local i = 0
  local passed, rejected = 0, 0
  local e
  ::locked::
  i = i + 1
  e = events[i]
  if e == nil then return "locked", passed, rejected end
  if e == "coin" then
    print("locked: coin -> unlocked")
    goto unlocked
  end
  rejected = rejected + 1
  print("locked: push rejected")
  goto locked
  ::unlocked::
  i = i + 1
  e = events[i]
  if e == nil then return "unlocked", passed, rejected end
  if e == "push" then
    passed = passed + 1
    print("unlocked: push -> locked")
    goto locked
  end
  print("unlocked: coin kept")
  goto unlocked
end

print(turnstile({"push", "coin", "push", "coin", "coin", "push", "push"}))
print(turnstile({"coin"}))

-- goto as a continue in the middle of a body, and out of two loops at once.
local odd_sum = 0
for n = 1, 10 do
  if n % 2 == 0 then goto next end
  odd_sum = odd_sum + n
  ::next::
end
print(odd_sum)

local grid = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}
local found_r, found_c = 0, 0
for row = 1, #grid do
  for col = 1, #grid[row] do
    if grid[row][col] * 2 == 10 then
      found_r, found_c = row, col
      goto found
    end
  end
end
print("not found")
::found::
print(found_r, found_c)

-- A countdown that loops with a backward goto and ends with repeat.
local n = 3
::again::
if n > 0 then
  print("T-minus", n)
  n = n - 1
  goto again
end
repeat
  n = n + 1
until n >= 2
print("liftoff", n)
