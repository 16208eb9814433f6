' A Const of a negative number converts text it is compared with to a number.
Const K = -2
r = (K < "-1")
Show r  ' expect: Boolean True
