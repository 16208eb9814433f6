' Compile error: if without end.
If x Then
y = 1
' expect error: 1014
