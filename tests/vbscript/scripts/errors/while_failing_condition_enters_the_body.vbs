' While failing condition enters the body.
On Error Resume Next
n = 0
While Mid("ab", n, 1) <> "b"
n = n + 1
Wend
r = n
Show r  ' expect: Integer 2
