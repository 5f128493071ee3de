print(type())
