' An expression continues on the next line after " _".
r = 1 + _
  2
Show r  ' expect: Integer 3
