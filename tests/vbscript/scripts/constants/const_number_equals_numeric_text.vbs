' Const number equals numeric text.
Const K = 5
r = (K = "5")
Show r  ' expect: Boolean True
