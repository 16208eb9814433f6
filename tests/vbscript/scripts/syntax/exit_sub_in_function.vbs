' Compile error: exit sub in function.
Function F()
Exit Sub  ' expect error: 1039
End Function
