' Resume next stays in its procedure.
Sub S()
On Error Resume Next
End Sub
S
x = 1 / 0  ' expect error: 11
