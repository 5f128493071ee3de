print("x" .. 1.5)
