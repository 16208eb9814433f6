' ReDim Preserve grows an array and keeps its elements.
ReDim a(1)
a(0) = "x": a(1) = "y"
ReDim Preserve a(3)
r = a(1) & UBound(a)
Show r  ' expect: String y3
