' Compile error: with without end.
With x
.a = 1
End Sub  ' expect error: 1029
