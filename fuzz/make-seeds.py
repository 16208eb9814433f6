#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (fuzz/corpus/<target>/) from the
test suite's own data: the engine's statement and expression tables, the
CLI's script, the demo's sample schema and rules. Run it again when that data
changes; the seeds are kept in the repository so a fuzz run needs nothing else.
With target names as arguments, only those targets' seeds are written again.

The structured targets read their input as FuzzInput.h describes: texts from
the front, each ended by a NUL byte; numbers and flags from the back, one byte
each, the last byte first. The seeds are laid out the same way."""
import csv
import hashlib
import pathlib
import random
import shutil
import sys

root = pathlib.Path(__file__).resolve().parent.parent
corpus = root / "fuzz" / "corpus"


def tsv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


only = set(sys.argv[1:])


def wanted(target):
    return not only or target in only


def write(target, data):
    if not wanted(target):
        return
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
    if wanted(folder.name):
        shutil.rmtree(folder)

data = root / "tests" / "vbscript" / "data"
scripts, expressions = [], []
if wanted("engine") or wanted("expression"):
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

# pushdown: from the back, whether the rule is built from the bytes (0) or is
# the text at the front (1), the Greek locale, the table (0 dirty, 1 dates);
# a built rule then reads its depth and every choice from the back.
for greek in (0, 1):
    for dates in (0, 1):
        for size in (4, 12, 32, 64, 128):
            choices = bytes(chooser.randrange(256) for _ in range(size))
            write("pushdown", choices + bytes([3, dates, greek, 0]))


def pushdown_text_seed(rule, dates, greek):
    return front_text(rule) + bytes([dates, greek, 1])


pushdown_data = root / "tests" / "pushdown" / "data"
for line in (pushdown_data / "regressions.tsv").read_text("utf-8").splitlines():
    if line and not line.startswith("#"):
        dialect, shape, rule = line.split("\t")[:3]
        write("pushdown", pushdown_text_seed(rule, 1 if "dates" in shape else 0, 0))
for line in (pushdown_data / "decisions.tsv").read_text("utf-8").splitlines():
    if line and not line.startswith("#"):
        shape, rule = line.split("\t")[:2]
        write("pushdown", pushdown_text_seed(rule, 1 if shape == "dates" else 0, 1))
# The rules users write, over the tables' columns: whole numbers, reals,
# texts and the order's date, on the dirty table and on the dates table.
DIRTY = {"ORD_NO": "n1", "ORD_QTY": "n1", "ORD_STATUS": "n2", "ORD_DAYS": "n2", "ORD_AMOUNT": "r1",
         "ORD_DISCOUNT": "r1", "ORD_SERIAL": "n2", "ORD_SHIPPED": "r1", "ORD_DATE": "t2", "ORD_NOTE": "t2",
         "CUST_NAME": "t1", "CUST_COUNTRY": "t2", "CUST_CITY": "t1", "CUST_EMAIL": "t2", "PRODUCT": "t1"}
DATES = dict(DIRTY, ORD_STATUS="n1", ORD_DAYS="n1", ORD_SERIAL="r1", ORD_DATE="d1", ORD_SHIPPED="d2",
             ORD_NOTE="t1", CUST_COUNTRY="t1", CUST_EMAIL="t1")
for i, line in enumerate((pushdown_data / "corpus.tsv").read_text("utf-8").splitlines()):
    if line and not line.startswith("#"):
        for dates, names in ((0, DIRTY), (1, DATES)):
            rule = line
            for name, column in names.items():
                rule = rule.replace("[" + name + "]", "[" + column + "]")
            write("pushdown", pushdown_text_seed(rule, dates, i % 2))
