' An error leaves the procedure at once and goes to the caller's On Error.
Sub S()
x = 1 / 0
r = "not here"
End Sub
On Error Resume Next
S
r = r & Err.Number
Show r  ' expect: String 11
