' Err survives later good statements.
On Error Resume Next
x = 1 / 0
y = 2
r = Err.Number
Show r  ' expect: Long 11
