' Scripting.Dictionary as scripts use it: Add, the default member and Item,
' For Each over its keys in the order they came, and a duplicate key refused.
Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1
d("b") = 2
d.Item("c") = 3
For Each k In d: s = s & k & d(k): Next
Show s  ' expect: String a1b2c3
Show d.Count  ' expect: Long 3
On Error Resume Next
d.Add "a", 9
Show Err.Number  ' expect: Long 457
On Error GoTo 0
Show Join(d.Keys, ",")  ' expect: String a,b,c
Show d.Exists("A")  ' expect: Boolean False
