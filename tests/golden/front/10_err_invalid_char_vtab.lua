local a = 1

