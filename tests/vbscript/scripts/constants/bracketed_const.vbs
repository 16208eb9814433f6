' A Const of a parenthesized number is still a literal number and converts text it is compared with.
Const K = (2)
r = (K < "10")
Show r  ' expect: Boolean True
