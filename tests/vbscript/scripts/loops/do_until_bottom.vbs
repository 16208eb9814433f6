' Do ... Loop Until tests at the bottom: the body runs once even when the condition holds at once.
i = 10
Do
i = i + 1
Loop Until i > 3
r = i
Show r  ' expect: Integer 11
