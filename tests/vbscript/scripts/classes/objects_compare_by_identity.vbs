' Objects compare by identity.
Class E
End Class
Set a = New E
Set b = a
Set c = New E
r = (a Is b) & (a Is c)
Show r  ' expect: String TrueFalse
