' Select without a match.
r = 0
Select Case 3
Case 1
r = 1
End Select
Show r  ' expect: Integer 0
