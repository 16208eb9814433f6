' SetLocale answers the locale it replaces, and text converts in the new one
' for the rest of the run.
old = SetLocale("el-GR")
Show old  ' expect: Long 1033
Show GetLocale()  ' expect: Long 1032
Show CStr(1.5) & "|" & MonthName(3)  ' expect: String 1,5|Μάρτιος
