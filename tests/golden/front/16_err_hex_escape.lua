print("\x4g")
