-- Closures and counters: functions that keep private state in upvalues.

-- Each call of make_counter gets its own n.
local function make_counter(start, step)
  local n = start
  return function()
    n = n + step
    return n
  end
end

local by_one = make_counter(0, 1)
local by_ten = make_counter(100, 10)
print(by_one(), by_one(), by_one())
print(by_ten(), by_ten())
print(by_one())

-- The built-in counter prints its own line on every call; copies of one
-- counter share it, a second new_counter() starts again at 1.
local ticks = new_counter()
ticks()
ticks()
local same = ticks
local other = new_counter()
other()
same()

-- Two closures sharing one upvalue: a bank account.
local function account(balance)
  local function deposit(amount)
    balance = balance + amount
    return balance
  end
  local function withdraw(amount)
    if amount > balance then
      return nil, "insufficient funds"
    end
    balance = balance - amount
    return balance
  end
  return deposit, withdraw
end

local deposit, withdraw = account(50)
print(deposit(25))
print(withdraw(30))
print(withdraw(100))
print(deposit(5))

-- A closure as the iterator of a generic for: a to b by step.
local function range(a, b, step)
  local i = a - step
  return function()
    i = i + step
    if i <= b then return i end
  end
end

local total = 0
for i in range(3, 15, 4) do
  total = total + i
  print(i, total)
end

-- One closure per round: each keeps its own round's i.
local adders = {}
for i = 1, 3 do
  adders[i] = function(x) return x + i * 100 end
end
print(adders[1](1), adders[2](2), adders[3](3))

-- A memoising wrapper: the cache lives in the closure.
local calls = 0
local function square(x)
  calls = calls + 1
  return x * x
end
local function memoize(f)
  local cache = {}
  return function(x)
    local hit = cache[x]
    if hit == nil then
      hit = f(x)
      cache[x] = hit
    end
    return hit
  end
end
local fast = memoize(square)
print(fast(12), fast(12), fast(5), fast(12), calls)

print(type(make_counter), type(ticks), type(total), type(nil),
      type("s"), type({}), type(true), type(2.5))
