local c = new_counter()
c()
c()
print(type(c), type(nil), type({}))
