goto nowhere
