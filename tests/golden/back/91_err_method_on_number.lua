local n = 5
n:foo()
