' Select on one line.
Select Case 2: Case 1: r = "a": Case 2: r = "b": End Select
Show CStr(r)  ' expect: String b
