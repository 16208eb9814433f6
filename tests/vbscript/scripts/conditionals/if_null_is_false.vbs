' If null is false.
If Null Then r = 1 Else r = 2
Show r  ' expect: Integer 2
