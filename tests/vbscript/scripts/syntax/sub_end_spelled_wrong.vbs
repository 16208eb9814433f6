' Compile error: sub end spelled wrong.
Sub S()
End Function  ' expect error: 1016
