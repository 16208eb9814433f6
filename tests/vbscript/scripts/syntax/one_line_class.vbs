' A class may be declared on one line with colons.
Class C : Public x : End Class
Set o = New C : o.x = 2 : r = o.x
Show CStr(r)  ' expect: String 2
