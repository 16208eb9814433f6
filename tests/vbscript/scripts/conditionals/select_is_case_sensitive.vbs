' Select is case sensitive.
Select Case "A"
Case "a"
r = 1
Case Else
r = 2
End Select
Show r  ' expect: Integer 2
