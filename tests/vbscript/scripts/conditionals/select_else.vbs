' Case Else runs when no case matches.
Select Case 9
Case 1
r = 1
Case Else
r = 0
End Select
Show r  ' expect: Integer 0
