' Failing select without resume next.
Select Case 1 / 0  ' expect error: 11
Case 1
End Select
