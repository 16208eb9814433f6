' Text variable against a literal.
v1 = "abc"
r = v1 = 1  ' expect error: 13
