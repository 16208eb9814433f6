' A Loop Until or Loop While condition that fails under On Error Resume Next leaves the loop after one pass.
On Error Resume Next
n = 0
Do
n = n + 1
Loop Until 1 / 0
r = n & "|" & Err.Number
Err.Clear
n = 0
Do
n = n + 1
Loop While 1 / 0
r = r & " " & n & "|" & Err.Number
Show r  ' expect: String 1|11 1|11
