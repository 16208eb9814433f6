' Select null matches nothing.
Select Case Null
Case Null
r = 1
Case Else
r = 2
End Select
Show r  ' expect: Integer 2
