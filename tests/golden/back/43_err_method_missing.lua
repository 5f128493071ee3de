local o = {}
o:nothing(1)
