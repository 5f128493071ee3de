local t = {[nil] = 1}
