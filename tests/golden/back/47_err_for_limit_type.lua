for i = 1, "x" do end
