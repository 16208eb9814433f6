' Exercises the console host object of tarnix run.
Dim total, a
total = 0
For Each a In WScript.Arguments
    total = total + CLng(a)
Next
WScript.Echo "args", WScript.Arguments.Count, total, WScript.Arguments(0)
WScript.Echo WScript.ScriptName
On Error Resume Next
WScript.Echo "after", 1 \ 0
On Error GoTo 0
If WScript.Arguments.Count > 2 Then WScript.Quit 7
x = CLng("not a number")
