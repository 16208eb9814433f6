' Do While tests at the top.
i = 0
Do While i < 5
i = i + 1
Loop
r = i
Show r  ' expect: Integer 5
