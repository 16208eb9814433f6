' A variable Set to Nothing Is Nothing.
Set o = Nothing
r = o Is Nothing
Show r  ' expect: Boolean True
