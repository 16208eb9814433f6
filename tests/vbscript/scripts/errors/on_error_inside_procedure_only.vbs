' On error inside procedure only.
Sub S()
On Error Resume Next
x = 1 / 0
End Sub
S
r = "ran"
Show r  ' expect: String ran
