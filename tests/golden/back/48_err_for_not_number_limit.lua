for i = 1.0, "x" do end
