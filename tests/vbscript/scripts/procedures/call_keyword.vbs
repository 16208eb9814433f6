' Call with parentheses passes arguments by reference.
Sub Inc(x)
x = x + 1
End Sub
r = 1
Call Inc(r)
Show r  ' expect: Integer 2
