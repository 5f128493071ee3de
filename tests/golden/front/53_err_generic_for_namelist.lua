for a, 1 in t do end
