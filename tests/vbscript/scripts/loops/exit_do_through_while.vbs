' Exit do through while.
Do
While True
Exit Do
Wend
Loop
r = 1
Show r  ' expect: Integer 1
