' String variable against a literal.
v1 = "100"
r = v1 > 1000
Show r  ' expect: Boolean False
