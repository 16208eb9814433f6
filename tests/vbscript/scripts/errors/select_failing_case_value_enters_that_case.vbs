' Select failing case value enters that case.
On Error Resume Next
Select Case 2
Case 1 / 0
r = "a"
Case 2
r = "b"
End Select
r = r & Err.Number
Show r  ' expect: String a11
