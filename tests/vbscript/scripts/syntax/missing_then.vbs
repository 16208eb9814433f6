' Compile error: missing then.
If x  ' expect error: 1017
y = 1
End If
