local t = {[1] = 1, [nil] = 2}
