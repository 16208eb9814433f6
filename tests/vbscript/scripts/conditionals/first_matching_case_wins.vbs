' First matching case wins.
Select Case 1
Case 1
r = "a"
Case 1
r = "b"
End Select
Show r  ' expect: String a
