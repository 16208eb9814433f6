' A comment after Then still starts a block If.
If True Then ' block follows
r = 1
End If
Show CStr(r)  ' expect: String 1
