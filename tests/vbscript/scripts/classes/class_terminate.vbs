' Class_Terminate runs when the last reference is dropped.
Dim r
Class C
Sub Class_Terminate
r = "gone"
End Sub
End Class
Set o = New C
Set o = Nothing
Show r  ' expect: String gone
