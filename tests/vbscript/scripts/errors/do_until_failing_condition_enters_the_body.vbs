' Do until failing condition enters the body.
On Error Resume Next
n = 0
Do Until Mid("ab", n, 1) = "b"
n = n + 1
Loop
r = n
Show r  ' expect: Integer 2
