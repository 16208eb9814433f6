' Dim bound from a variable.
n = 3
Dim a(n)  ' expect error: 1026
