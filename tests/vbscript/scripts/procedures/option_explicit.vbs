' Option Explicit: a variable used without Dim is 500.
Option Explicit
Dim a
a = 1
b = 2  ' expect error: 500
