local n = 5
n[1] = 2
