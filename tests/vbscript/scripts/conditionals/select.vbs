' Select Case finds the case that lists the value among others.
x = "b"
Select Case x
Case "a": r = 1
Case "c", "b": r = 2
Case Else: r = 3
End Select
Show r  ' expect: Integer 2
