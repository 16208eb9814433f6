' Compile error: end if spelled wrong.
If x Then
y = 1
End Sub  ' expect error: 1012
