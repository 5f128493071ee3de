local a = 1
--[ not a long bracket
