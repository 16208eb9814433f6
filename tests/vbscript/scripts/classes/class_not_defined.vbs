' New of a class that no code defines: 506.
Set o = New Missing  ' expect error: 506
