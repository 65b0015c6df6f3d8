#!/usr/bin/env python3
"""Keeps the user's guide true to the program.

Usage: check_guide.py GUIDE.md MESSAGES.txt SOURCE_FOLDER
- Every program text the guide quotes in »...« is in the program: each part of it between
  the "…" that stand for a changing part (a path, a name) lies inside one of the string
  literals of the sources (adjacent literals joined, escapes decoded, comments left out).
- Every entry of MESSAGES.txt (each message box and red line) is in the program, and each
  of its lines is quoted in the guide.
- Every picture is one the WoW64 stage takes of the x86 program (bilder/wow64_*.png); the
  release script fails when the stage did not take it.
"""
import pathlib
import re
import sys

TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\\\'])*\'|"((?:\\.|[^\\"\n])*)"|(\s+)|.',
                   re.S)
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "0": "\0", "\\": "\\", '"': '"', "'": "'"}


def unescape(text):
    return re.sub(r"\\(x[0-9A-Fa-f]{2}|.)",
                  lambda m: chr(int(m.group(1)[1:], 16)) if m.group(1)[0] == "x"
                  else ESCAPES.get(m.group(1), m.group(1)), text)


def literals(source):
    """The source's string literals, adjacent ones joined as the compiler does."""
    found, current = [], None
    for m in TOKEN.finditer(source):
        if m.group(1) is not None:
            current = (current or "") + unescape(m.group(1))
        elif m.group(2) is None and not m.group(0).startswith(("//", "/*")):
            if current is not None:
                found.append(current)
            current = None
    if current is not None:
        found.append(current)
    return found


def quotes(text):
    return re.findall(r"»([^»«]*)«", text)


def main(guide_path, messages_path, source_folder):
    program = [text for path in sorted(pathlib.Path(source_folder).rglob("*"))
               if path.suffix in (".cpp", ".h")
               for text in literals(path.read_text(encoding="utf-8"))]
    in_program = lambda part: any(part in text for text in program)
    guide = quotes(pathlib.Path(guide_path).read_text(encoding="utf-8"))
    # A message counts as explained where it is quoted whole, or as a fixed part of a quote.
    pieces = {piece for quote in guide for piece in quote.split("…")}
    faults = []
    for quote in guide:
        for part in quote.split("…"):
            if part and not in_program(part):
                faults.append("the guide quotes »%s«, which the program does not have" % part)
    for line in pathlib.Path(messages_path).read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        entry = unescape(quotes(line)[0]) if quotes(line) else None
        if entry is None:
            faults.append("%s: not an »...« entry: %s" % (messages_path, line))
        elif not in_program(entry):
            faults.append("message »%s« is no longer in the program" % line[1:-1])
        else:
            for part in filter(None, entry.split("\r\n")):
                if part not in pieces:
                    faults.append("the guide does not explain the message »%s«" % part)
    text = pathlib.Path(guide_path).read_text(encoding="utf-8")
    for picture in re.findall(r"!\[[^\]]*\]\(([^)]+)\)", text):
        if not re.fullmatch(r"bilder/wow64_\w+\.png", picture):
            faults.append("the picture %s is not one of the WoW64 stage" % picture)
    for fault in faults:
        print(fault)
    print("%d quotes, %d faults" % (len(guide), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
