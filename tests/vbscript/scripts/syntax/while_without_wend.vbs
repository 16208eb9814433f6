' Compile error: while without wend.
While x
y = 1
' expect error: 1018
