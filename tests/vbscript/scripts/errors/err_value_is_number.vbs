' Err value is number.
On Error Resume Next
x = 1 / 0
r = Err
Show r  ' expect: Long 11
