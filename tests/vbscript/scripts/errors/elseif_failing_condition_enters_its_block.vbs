' Elseif failing condition enters its block.
On Error Resume Next
If False Then
r = 1
ElseIf 1 / 0 Then
r = 2
Else
r = 3
End If
Show r  ' expect: Integer 2
