' Loop until failing condition leaves.
On Error Resume Next
n = 0
Do
n = n + 1
Loop Until 1 / 0
r = n & "|" & Err.Number
Show r  ' expect: String 1|11
