' A Const stands for its literal.
Const K = 5
v1 = "10"
r = v1 > K
Show r  ' expect: Boolean True
