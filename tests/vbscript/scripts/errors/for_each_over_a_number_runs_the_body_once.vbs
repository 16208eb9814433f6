' For each over a number runs the body once.
On Error Resume Next
r = 0
For Each x In 5
r = r + 1
Next
r = r & "|" & Err.Number
Show r  ' expect: String 1|451
