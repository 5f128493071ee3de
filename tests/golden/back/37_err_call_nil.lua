local f
f(1)
