' Const compares as a number, variable as text.
Const K = 5
v = 5
r = (K < "10") & (v < "10")
Show r  ' expect: String TrueFalse
