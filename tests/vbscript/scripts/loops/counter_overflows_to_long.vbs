' Counter overflows to long.
For i = 32766 To 32767: Next
r = i
Show r  ' expect: Long 32768
