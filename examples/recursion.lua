-- Recursion: plain and mutual recursion, tail calls, and variable arguments.

local function fact(n)
  if n <= 1 then
    return 1
  end
  return n * fact(n - 1)
end

-- The accumulator form ends in a tail call.
local function fact_acc(n, acc)
  if n <= 1 then return acc end
  return fact_acc(n - 1, acc * n)
end

print(fact(10), fact_acc(20, 1))

local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end

-- The same numbers without recursion, by multiple assignment.
local function fib_loop(n)
  local a, b = 0, 1
  for _ = 1, n do
    a, b = b, a + b
  end
  return a
end
print(fib(15), fib_loop(15), fib_loop(90))

-- Mutual recursion: both names are declared before either body.
local is_even, is_odd
function is_even(n)
  if n == 0 then return true end
  return is_odd(n - 1)
end
function is_odd(n)
  if n == 0 then return false end
  return is_even(n - 1)
end
print(is_even(10), is_odd(7), is_even(3))

local function gcd(a, b)
  if b == 0 then return a end
  return gcd(b, a % b)
end
print(gcd(1071, 462), gcd(17, 5))

-- Towers of Hanoi: a plain return ends a call early.
local moves = 0
local function hanoi(n, from, to, via, show)
  if n == 0 then return end
  hanoi(n - 1, from, via, to, show)
  moves = moves + 1
  if show then print(from .. " -> " .. to) end
  hanoi(n - 1, via, to, from, show)
end
hanoi(3, "A", "C", "B", true)
print(moves)
moves = 0
hanoi(6, "A", "C", "B", false)
print(moves)

-- Walking nested tables; type() tells a branch from a leaf.
local function deep_sum(t)
  local s = 0
  for _, v in ipairs(t) do
    if type(v) == "table" then
      s = s + deep_sum(v)
    else
      s = s + v
    end
  end
  return s
end
print(deep_sum({1, {2, 3}, {{4}, 5}, {}}))

-- Variable arguments: collected in a table, passed on, returned as they are.
local function sum(...)
  local args = {...}
  local s = 0
  for _, v in ipairs(args) do
    s = s + v
  end
  return s, #args
end
print(sum())
print(sum(1, 2, 3, 4))

local function first_two(...)
  local a, b = ...
  return a, b
end
local function pass(...)
  return first_two(...)
end
local function all(...)
  return ...
end
print(pass(7, 8, 9))
print(all(1, nil, "three"))

-- Recursion over variable arguments: the largest of them.
local function max_of(first, ...)
  local rest = {...}
  if #rest == 0 then return first end
  local m = max_of(...)
  if first > m then return first end
  return m
end
print(max_of(4, 17, 9, -2, 11))
