' Exit do inside for.
For i = 1 To 3
Do
Exit Do
Loop
r = r + 1
Next
Show r  ' expect: Integer 3
