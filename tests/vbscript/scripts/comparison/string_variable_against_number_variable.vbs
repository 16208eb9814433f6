' String variable against number variable.
v1 = "100"
v2 = 1000
r = v1 > v2
Show r  ' expect: Boolean True
