' Engine loop benchmark: the same file runs under tarnix run and under other
' VBScript hosts (cscript), each section timed with Timer.

Function Twice(x)
    Twice = x + x
End Function

Dim t, i, s, n, str

t = Timer
s = 0
For i = 1 To 3000000
    s = s + i * 2 - 1
Next
WScript.Echo "arithmetic 3000000 iterations: " & FormatNumber(Timer - t, 3) & " s (s = " & s & ")"

t = Timer
n = 0
For i = 1 To 1000000
    n = Twice(i)
Next
WScript.Echo "function calls 1000000: " & FormatNumber(Timer - t, 3) & " s (n = " & n & ")"

t = Timer
str = ""
For i = 1 To 200000
    str = Left(str & "abcdefghij", 50) & Chr(65 + i Mod 26)
Next
WScript.Echo "string building 200000: " & FormatNumber(Timer - t, 3) & " s (len = " & Len(str) & ")"
