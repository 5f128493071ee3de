local function f()
  return 1
