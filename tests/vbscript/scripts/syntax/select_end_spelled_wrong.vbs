' Compile error: select end spelled wrong.
Select Case x
Case 1
End If  ' expect error: 1022
