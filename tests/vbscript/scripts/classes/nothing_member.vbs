' A member of Nothing: 91.
Set o = Nothing
x = o.Foo  ' expect error: 91
