local t = {x = 1, [0/0] = 2}
