' For null bound runs the body once.
On Error Resume Next
r = 0
For i = Null To 3
r = r + 1
Next
r = r & "|" & Err.Number
Show r  ' expect: String 1|94
