' Select failing subject enters the first case.
On Error Resume Next
Select Case 1 / 0
Case 5
r = "first"
Case Else
r = "else"
End Select
Show r  ' expect: String first
