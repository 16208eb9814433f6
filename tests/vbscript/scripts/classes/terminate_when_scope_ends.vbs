' Terminate when scope ends.
Dim log
Class T
Sub Class_Terminate
log = log & "t"
End Sub
End Class
Sub Use()
Dim x
Set x = New T
log = log & "u"
End Sub
Use
r = log
Show r  ' expect: String ut
