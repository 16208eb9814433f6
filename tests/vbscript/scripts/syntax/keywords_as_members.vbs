' A keyword may name a member: in brackets, or a word that is reserved only in its place (Step).
Class C
Public [End], Step
End Class
Set o = New C
o.Step = 3
r = o.Step
Show CStr(r)  ' expect: String 3
