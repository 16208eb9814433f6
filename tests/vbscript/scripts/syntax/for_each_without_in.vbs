' Compile error: for each without in.
For Each x a  ' expect error: 1046
Next
