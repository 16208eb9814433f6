' A Dim in a procedure hides the global of the same name.
x = 1
Sub S()
Dim x
x = 5
End Sub
S
r = x
Show r  ' expect: Integer 1
