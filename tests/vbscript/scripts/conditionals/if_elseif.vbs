' If, ElseIf and Else: the first true condition wins.
x = 5
If x < 3 Then
r = 1
ElseIf x < 10 Then
r = 2
Else
r = 3
End If
Show r  ' expect: Integer 2
