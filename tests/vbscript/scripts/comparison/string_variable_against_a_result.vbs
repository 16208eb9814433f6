' String variable against a result.
v1 = "100"
v2 = 1000
r = v1 > CLng(v2)
Show r  ' expect: Boolean True
