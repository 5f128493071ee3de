print(1)
end
