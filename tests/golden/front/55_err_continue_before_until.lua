repeat continue until true
