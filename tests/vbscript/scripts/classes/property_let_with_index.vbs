' Property let with index.
Class Grid
Private cells(3)
Public Property Let Cell(i, v)
cells(i) = v
End Property
Public Property Get Cell(i)
Cell = cells(i)
End Property
End Class
Set g = New Grid
g.Cell(2) = "z"
r = g.Cell(2)
Show r  ' expect: String z
