' MsgBox without permission for UI: 70.
MsgBox "hi"  ' expect error: 70
