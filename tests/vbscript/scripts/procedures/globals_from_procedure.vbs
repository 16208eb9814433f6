' A procedure assigns a global variable it did not declare.
x = 1
Sub S()
x = 5
End Sub
S
r = x
Show r  ' expect: Integer 5
