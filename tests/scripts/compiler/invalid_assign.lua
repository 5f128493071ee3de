x y
