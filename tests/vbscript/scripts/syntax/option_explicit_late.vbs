' Compile error: option explicit late.
x = 1
Option Explicit  ' expect error: 1002
