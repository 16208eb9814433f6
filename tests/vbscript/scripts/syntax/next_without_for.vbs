' Compile error: next without for.
Next  ' expect error: 1055
