' If one line with colon block.
If True Then a = 1: b = 2 Else c = 3
r = a + b + c
Show r  ' expect: Integer 3
