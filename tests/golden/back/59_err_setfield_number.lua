local n = 5
n.x = 1
