' Dim bounds in hex.
Dim a(&H3, 2)
r = UBound(a, 1) + UBound(a, 2)
Show r  ' expect: Long 5
