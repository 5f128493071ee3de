local a, 5 = 1
