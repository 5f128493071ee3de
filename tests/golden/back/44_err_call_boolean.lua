local b = false
b()
