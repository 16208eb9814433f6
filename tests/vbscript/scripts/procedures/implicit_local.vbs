' A variable first assigned in a procedure is local to it.
Sub S()
y = 5
End Sub
S
r = IsEmpty(y)
Show r  ' expect: Boolean True
