' String const against a variable.
Const S = "5"
n = 10
r = (S < n)
Show r  ' expect: Boolean False
