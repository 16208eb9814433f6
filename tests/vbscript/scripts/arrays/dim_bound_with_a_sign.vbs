' Dim bound with a sign.
Dim a(+1)  ' expect error: 1026
