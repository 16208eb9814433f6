' Is compares object references only: 424 for anything else.
r = 1 Is 2  ' expect error: 424
