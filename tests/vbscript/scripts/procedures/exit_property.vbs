' Exit Property leaves a Property Get with the value assigned so far.
Class C
Public Property Get P
P = 1
Exit Property
P = 2
End Property
End Class
Set o = New C
r = o.P
Show r  ' expect: Integer 1
