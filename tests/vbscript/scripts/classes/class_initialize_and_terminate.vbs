' Class_Initialize runs when New makes an instance, Class_Terminate when the last reference is dropped.
Dim r
Class C
Public N
Sub Class_Initialize
N = 3
End Sub
Sub Class_Terminate
r = r & "|gone"
End Sub
End Class
Set o = New C
r = o.N
Set o = Nothing
Show r  ' expect: String 3|gone
