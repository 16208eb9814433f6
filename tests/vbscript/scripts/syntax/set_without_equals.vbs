' Compile error: set without equals.
Set x New C  ' expect error: 1011
