' A Default property gives the object its value in arithmetic.
Class V
Private v
Public Default Property Get Value
Value = v
End Property
Public Property Let Value(x)
v = x
End Property
End Class
Set o = New V
o.Value = 3
r = o + 1
Show r  ' expect: Integer 4
