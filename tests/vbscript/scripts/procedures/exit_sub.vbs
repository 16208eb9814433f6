' Exit Sub leaves the Sub at once.
Dim r
Sub S()
r = 1
Exit Sub
r = 2
End Sub
S
Show r  ' expect: Integer 1
