' Compile error: junk after statement.
x = 1 2  ' expect error: 1025
