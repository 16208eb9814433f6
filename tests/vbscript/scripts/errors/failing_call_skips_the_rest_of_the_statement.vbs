' Failing call skips the rest of the statement.
Function F()
F = 1 / 0
End Function
On Error Resume Next
r = "kept"
r = F()
Show r  ' expect: String kept
