' Do while failing condition enters the body.
On Error Resume Next
i = 0
Do While 1 / 0
i = i + 1
If i = 3 Then Exit Do
Loop
r = i & "|" & Err.Number
Show r  ' expect: String 3|11
