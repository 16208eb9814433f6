' Compile error: exit for outside loop.
Do
Exit For  ' expect error: 1039
Loop
