' Dim bound as a fraction.
Dim a(1.5)  ' expect error: 1026
