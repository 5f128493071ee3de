print("a\qb")
