' Compile error: function end spelled wrong.
Function F()
End Sub  ' expect error: 1015
