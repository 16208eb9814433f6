' Do loop while bottom.
i = 0
Do
i = i + 1
Loop While i < 3
r = i
Show r  ' expect: Integer 3
