' Const copied to a variable compares as text.
Const K = 5
v = K
r = (v < "10")
Show r  ' expect: Boolean False
