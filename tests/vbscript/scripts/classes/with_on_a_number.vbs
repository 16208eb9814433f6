' With on a number.
With 5
.x = 1  ' expect error: 424
End With
