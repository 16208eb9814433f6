' Class_Initialize runs when New makes an instance.
Class C
Public N
Sub Class_Initialize
N = 3
End Sub
End Class
Set o = New C
r = o.N
Show r  ' expect: Integer 3
