local o = {}
o:m 1
