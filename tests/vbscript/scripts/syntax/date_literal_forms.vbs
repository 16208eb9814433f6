' Date literals in ISO and in US form, and times in 24 and 12 hours, are the same values.
r = (#2000-01-02# = #1/2/2000#) And (#12:30# = #12:30:00 PM#)
Show CStr(r)  ' expect: String True
