' One Const statement may declare several constants.
Const K = 5, L = "x"
r = K & L
Show r  ' expect: String 5x
