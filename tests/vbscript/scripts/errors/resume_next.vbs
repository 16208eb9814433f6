' On Error Resume Next keeps the error in Err and goes on.
On Error Resume Next
x = 1 / 0
r = Err.Number
Show r  ' expect: Long 11
