' A class field dimensioned as an array is indexed through the object.
Class Bag
Public items(2)
End Class
Set b = New Bag
b.items(1) = 5
r = b.items(1) + UBound(b.items)
Show r  ' expect: Long 7
