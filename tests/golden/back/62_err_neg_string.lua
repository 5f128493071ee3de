local s = "a"
print(-s)
