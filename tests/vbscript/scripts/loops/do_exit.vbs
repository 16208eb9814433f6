' Exit Do leaves a Do loop that has no condition.
Do
r = r + 1
If r = 3 Then Exit Do
Loop
Show r  ' expect: Integer 3
