' Failing if condition enters the block.
On Error Resume Next
If 1 / 0 Then r = "in" Else r = "else"
Show r  ' expect: String in
