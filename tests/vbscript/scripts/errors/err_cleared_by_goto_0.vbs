' Err cleared by goto 0.
On Error Resume Next
x = 1 / 0
On Error GoTo 0
r = Err.Number
Show r  ' expect: Long 0
