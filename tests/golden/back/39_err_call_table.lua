local t = {1, 2, x = 3}
t()
