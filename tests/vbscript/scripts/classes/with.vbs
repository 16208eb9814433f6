' With names an object once for the statements inside it.
Class C
Public a, b
End Class
Set o = New C
With o
.a = 1
.b = .a + 1
End With
r = o.b
Show r  ' expect: Integer 2
