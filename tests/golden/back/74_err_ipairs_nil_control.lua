local f, s = ipairs({1})
f(s, nil)
