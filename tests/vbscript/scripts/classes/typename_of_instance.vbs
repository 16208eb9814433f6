' TypeName of an instance is the name of its class.
Class Foo
End Class
Set o = New Foo
r = TypeName(o)
Show r  ' expect: String Foo
