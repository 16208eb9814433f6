' ReDim refuses an array that Dim made fixed: 10.
Dim a(2)
ReDim a(5)  ' expect error: 10
