' Compile error: do without loop.
Do
y = 1
' expect error: 1019
