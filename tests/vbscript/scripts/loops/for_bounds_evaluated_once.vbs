' For bounds evaluated once.
n = 3
r = 0
For i = 1 To n
n = 10
r = r + 1
Next
Show r  ' expect: Integer 3
