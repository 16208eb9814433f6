#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (fuzz/corpus/<target>/) from the
test suite's own data: the engine's statement and expression tables, the
CLI's script, the demo's sample schema and rules. Run it again when that data
changes; the seeds are kept in the repository so a fuzz run needs nothing else.

The structured targets read their input as FuzzInput.h describes: texts from
the front, each ended by a NUL byte; numbers and flags from the back, one byte
each, the last byte first. The seeds are laid out the same way."""
import csv
import hashlib
import pathlib
import random
import shutil

root = pathlib.Path(__file__).resolve().parent.parent
corpus = root / "fuzz" / "corpus"


def tsv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def write(target, data):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(data).hexdigest()[:16]).write_bytes(data)


def front_text(text):
    return text.encode("utf-8") + b"\0"


RULES = [
    "[CUST_COUNTRY] = 300",
    "[ORD_AMOUNT] > 1000 And [ORD_STATUS] < 4",
    '"Dear " & [CUST_NAME] & " of " & [CUST_CITY] & ","',
    'DateDiff("d", [ORD_DATE], [TODAY]) > 30 And [ORD_STATUS] < 4',
    "Round([ORD_AMOUNT] * 0.24, 2)",
    "Year([TODAY]) - Year([CUST_SINCE]) >= 5",
]
DISPLAY = [
    "[Customer.Name] & [Order.Number] & [Today]",
    "Len([Customer.City]) > [Order.Amount]",
    '"Πελάτης" & [Όνομα] & [Customer.City]',
    "[Order.Amount]\r\n\r\n> 5",
]
VARIABLES = [
    ("CUST_NAME", "Name", "Customer"),
    ("CUST_CITY", "City", "Customer"),
    ("ORD_AMOUNT", "Amount", "Order"),
    ("ORD_NO", "Number", "Order"),
    ("TODAY", "Today", ""),
    ("X1", "Όνομα", ""),
]

for folder in corpus.glob("*"):
    shutil.rmtree(folder)

data = root / "tests" / "vbscript" / "data"
scripts = [unescape(r["code"]) for r in tsv(data / "statements.tsv")]
expressions = [unescape(r["expr"]) for name in ("language.tsv", "builtins.tsv")
               for r in tsv(data / name)]
expressions += [r["expr"] for r in tsv(root / "tests" / "vbscript_library" / "data" / "library.tsv")]

# engine: whole scripts and single expressions.
for text in scripts + expressions + [(root / "tests/cli/data/run_host.vbs").read_text("utf-8")]:
    write("engine", text.encode("utf-8"))

# expression: the text first, then (from the back) how many values to bind: none.
for text in expressions + RULES:
    write("expression", text.encode("utf-8") + b"\x00")

# schemafile: the demo's schema in several encodings, and a small Greek one.
sample = (root / "apps/tarnix-demo/sample-schema.xml").read_text("utf-8")
write("schemafile", sample.encode("utf-8"))
write("schemafile", b"\xef\xbb\xbf" + sample.encode("utf-8"))
write("schemafile", b"\xff\xfe" + sample.encode("utf-16-le"))
write("schemafile", b"\xfe\xff" + sample.encode("utf-16-be"))
greek = ("<?xml version='1.0' encoding='windows-1253'?><NortavineXMLData version='2.6'>"
         "<Schema Version='2.6'><Catalogs CatalogPath=''><Catalog ID='c' defaultview='v'><Fields>"
         "<Field ID='NAME' vardescription='Όνομα' groupcaption='Πελάτης' vartype='8' varsize='10'/>"
         "</Fields><Views><View ID='v'><Fields><Field ID='NAME' vardescription='Όνομα' "
         "hasvaluelist='1' valuelist='names' listvalue='code' ListText='description'/></Fields>"
         "</View></Views></Catalog></Catalogs></Schema></NortavineXMLData>")
write("schemafile", greek.encode("cp1253"))

# conversion: the variables (strings at the front, numbers and flags at the
# back), then the text; the last byte of the back is read first.
def conversion_seed(variables, text, from_database):
    front = b""
    back = [len(variables)]
    for vid, caption, group in variables:
        front += front_text(vid) + front_text(caption)
        back.append(1 if group else 0)
        if group:
            front += front_text(group)
        back.append(8)
    back.append(1 if from_database else 0)
    return front + text.encode("utf-8") + bytes(reversed(back))

for text in RULES:
    write("conversion", conversion_seed(VARIABLES, text, True))
for text in DISPLAY:
    write("conversion", conversion_seed(VARIABLES, text, False))

# colouring: words with the variable (0) or function (2) colour, then the
# selection (two bytes each, from the back) and the text.
def colouring_seed(words, text):
    front = b""
    back = [len(words)]
    for word, colour in words:
        front += front_text(word)
        back += [1, colour, 0]
    back += [0, 0, 2, 0, 2]
    return front + text.encode("utf-8") + bytes(reversed(back))

words = [("[Customer.Name]", 0), ("[Order.Amount]", 0), ("Len(", 2), ("DateDiff(", 2), ("[Today]", 0)]
for text in DISPLAY + ['DateDiff("d", [Order.Date], [Today]) > 30', "Len([Customer.Name]) > 3"]:
    write("colouring", colouring_seed(words, text))

# generatedrules: every choice is a byte from the back, so any bytes make a
# rule; these, from a fixed seed, start it on rules of many kinds and sizes.
# The texts at the front become the rule's string literals and a value.
chooser = random.Random(20261207)
for text in ["abc", "Ωμέγα", '"', "aaab", ""]:
    for size in (6, 12, 24, 48, 96, 160):
        write("generatedrules", front_text(text) + bytes(chooser.randrange(256) for _ in range(size)))
