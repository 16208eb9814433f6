' Compile error: class without end.
Class C
Public x
' expect error: 1047
