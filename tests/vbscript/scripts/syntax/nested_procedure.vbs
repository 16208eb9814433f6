' Compile error: nested procedure.
Sub S()
Sub T()  ' expect error: 1024
End Sub
End Sub
