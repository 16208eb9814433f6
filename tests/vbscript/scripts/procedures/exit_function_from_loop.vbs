' Exit function from loop.
Function F()
For i = 1 To 10
If i = 4 Then
F = i
Exit Function
End If
Next
End Function
r = F()
Show r  ' expect: Integer 4
