#!/usr/bin/env python3
"""Writes the built-in function catalog (src/resources/functions.xml) from its
list (src/resources/functions.txt).

Each function is given by its short declaration, "Name(p1, p2)"; the long
declaration follows from it: every parameter gets " as Variant" and so does the
result. The catalog is plain ASCII with CR LF line ends and tab indentation, as
the editor and hosts have always read it."""
import pathlib
import sys

root = pathlib.Path(__file__).resolve().parent.parent / "src" / "resources"


def declarationext(declaration):
    name, params = declaration[:-1].split("(", 1)
    names = [p.strip() for p in params.split(",")] if params.strip() else []
    return "%s(%s) as Variant" % (name, ", ".join(p + " as Variant" for p in names))


def main():
    interfaces = []
    for line in (root / "functions.txt").read_text(encoding="ascii").splitlines():
        if not line or line.startswith("#"):
            continue
        if line.startswith("@"):
            name, caption = line[1:].split("\t")
            interfaces.append((name, caption, []))
        else:
            interfaces[-1][2].append(line)

    out = ['<TypeLib name="VBScript_Global">', "\t<Interfaces>"]
    for name, caption, functions in interfaces:
        out.append('\t\t<Interface name="%s" description="%s" visible="-1">' % (name, caption))
        out.append("\t\t\t<Functions>")
        for d in functions:
            out.append('\t\t\t\t<Function name="%s" declaration="%s" declarationext="%s" '
                       'helpstring="" visible="-1"/>' % (d.split("(")[0], d, declarationext(d)))
        out.append("\t\t\t</Functions>")
        out.append("\t\t</Interface>")
    out.append("\t</Interfaces>")
    out.append("</TypeLib>")
    (root / "functions.xml").write_bytes(("\r\n".join(out) + "\r\n").encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
