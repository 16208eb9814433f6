' Compile error: select without case.
Select x  ' expect error: 1021
End Select
