' Dim a(2) makes a fixed array of three elements, 0 to 2, whose UBound is a Long.
Dim a(2)
a(0) = 1: a(2) = 3
r = a(0) + a(2) + UBound(a)
Show r  ' expect: Long 6
