do ::out:: end
goto out
goto other
