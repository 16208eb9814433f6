' A Default function is called by indexing the object itself: o(4).
Class C
Public Default Function Item(i)
Item = i * 10
End Function
End Class
Set o = New C
r = o(4)
Show r  ' expect: Integer 40
