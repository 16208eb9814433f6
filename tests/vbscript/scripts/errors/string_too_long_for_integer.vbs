' String too long for integer.
r = CInt("99999")  ' expect error: 6
