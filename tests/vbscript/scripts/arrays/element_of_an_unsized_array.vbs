' A dynamic array no ReDim has sized has no element, not even at no indices.
Dim a()
x = a()  ' expect error: 9
