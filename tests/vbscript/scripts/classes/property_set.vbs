' Property Set takes an object assigned with Set.
Class Box
Private mItem
Public Property Set Item(o)
Set mItem = o
End Property
Public Property Get Item
Set Item = mItem
End Property
End Class
Set b = New Box
Set b.Item = New Box
r = TypeName(b.Item)
Show r  ' expect: String Box
