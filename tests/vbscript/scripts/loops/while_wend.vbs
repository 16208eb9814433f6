' While ... Wend tests at the top.
i = 0
While i < 3
i = i + 1
Wend
r = i
Show r  ' expect: Integer 3
