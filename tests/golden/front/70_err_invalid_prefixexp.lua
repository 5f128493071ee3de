local x = 1 + * 2
