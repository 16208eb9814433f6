' Err.Raise with a run-time error's number takes its text; with a compile
' error's number, or one VBScript has no text for, it reads "Unknown runtime error".
On Error Resume Next
Err.Raise 9
Show Err.Description  ' expect: String Subscript out of range
Err.Clear
Err.Raise 1002
Show Err.Description  ' expect: String Unknown runtime error
Err.Clear
Err.Raise 32811
Show Err.Description  ' expect: String Element not found
Err.Clear
Err.Raise 600
Show Err.Description  ' expect: String Unknown runtime error
