' Element of an array parameter.
Sub Inc(x)
x = x + 1
End Sub
Sub Each1(arr)
For i = 0 To UBound(arr)
Inc arr(i)
Next
End Sub
a = Array(1, 2, 3)
Each1 a
r = Join(a, ",")
Show r  ' expect: String 2,3,4
