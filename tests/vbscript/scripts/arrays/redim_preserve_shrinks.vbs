' ReDim Preserve shrinks an array and keeps the elements that still fit.
ReDim a(3)
a(1) = "k"
ReDim Preserve a(1)
r = a(1) & UBound(a)
Show r  ' expect: String k1
