' Empty range skips the body.
r = 0
For i = 5 To 1
r = 1
Next
r = r & i
Show r  ' expect: String 05
