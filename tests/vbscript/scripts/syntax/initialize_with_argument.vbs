' Compile error: initialize with argument.
Class C
Sub Class_Initialize(a)  ' expect error: 1053
End Sub
End Class
