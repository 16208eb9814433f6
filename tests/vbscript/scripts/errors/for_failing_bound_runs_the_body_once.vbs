' For failing bound runs the body once.
On Error Resume Next
r = 0
For i = 1 To 1 / 0
r = r + 1
Next
r = r & "|" & Err.Number
Show r  ' expect: String 1|11
