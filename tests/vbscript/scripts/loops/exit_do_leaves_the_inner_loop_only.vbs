' Exit do leaves the inner loop only.
Do
n = n + 1
Do
Exit Do
Loop
If n = 3 Then Exit Do
Loop
r = n
Show r  ' expect: Integer 3
