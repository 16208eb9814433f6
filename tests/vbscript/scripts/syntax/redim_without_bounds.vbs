' Compile error: redim without bounds.
ReDim a  ' expect error: 1005
