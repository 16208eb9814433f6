' Const in a case.
Const K = 10
Select Case "10.0"
Case K
r = 1
Case Else
r = 2
End Select
Show r  ' expect: Integer 1
