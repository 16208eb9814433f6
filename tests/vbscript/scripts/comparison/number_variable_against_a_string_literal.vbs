' Number variable against a string literal.
n = 5
r = "10" > n
Show r  ' expect: Boolean False
