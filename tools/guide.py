#!/usr/bin/env python3
"""Turns the user's guide (docs/anleitung.md) into one HTML page with its pictures beside it.

Usage: guide.py GUIDE.md PICTURE_FOLDER OUT_FOLDER
Writes OUT_FOLDER/Anleitung.html and copies every picture the guide names to OUT_FOLDER/bilder/.
Knows the little Markdown the guide uses: headings, paragraphs, lists (nested by indent),
emphasis, code, images, links, HTML comments, and the program's texts in »...«, whose blanks
must stay visible.
"""
import html
import os
import re
import shutil
import sys

STYLE = """body{font-family:Segoe UI,Arial,sans-serif;max-width:50em;margin:1em auto;padding:0 1em;
line-height:1.45;color:#222}h1,h2,h3{color:#204060}img{max-width:100%;border:1px solid #999}
code{background:#eee;padding:0 .2em}.t{white-space:pre-wrap;background:#f4f0d8}"""

INLINE = re.compile(r"(?P<code>`[^`]+`)|(?P<text>»[^»«]*«)|(?P<img>!\[[^\]]*\]\([^)]+\))"
                    r"|(?P<link>\[[^\]]+\]\([^)]+\))|(?P<strong>\*\*[^*]+\*\*)|(?P<em>\*[^*]+\*)")


def inline(text, pictures):
    out, at = [], 0
    for m in INLINE.finditer(text):
        out.append(html.escape(text[at:m.start()], quote=False))
        at, part = m.end(), m.group(0)
        if m.group("code"):
            out.append("<code>" + html.escape(part[1:-1]) + "</code>")
        elif m.group("text"):
            out.append('»<span class="t">' + html.escape(part[1:-1]) + "</span>«")
        elif m.group("img"):
            alt, src = re.match(r"!\[([^\]]*)\]\(([^)]+)\)", part).groups()
            pictures.append(src)
            out.append('<img src="%s" alt="%s">' % (html.escape(src), html.escape(alt)))
        elif m.group("link"):
            label, href = re.match(r"\[([^\]]+)\]\(([^)]+)\)", part).groups()
            out.append('<a href="%s">%s</a>' % (html.escape(href), inline(label, pictures)))
        elif m.group("strong"):
            out.append("<strong>" + inline(part[2:-2], pictures) + "</strong>")
        else:
            out.append("<em>" + inline(part[1:-1], pictures) + "</em>")
    out.append(html.escape(text[at:], quote=False))
    return "".join(out)


def convert(lines):
    """The page's body and the pictures it names."""
    body, pictures, para = [], [], []
    lists = []  # the open lists, innermost last: (indent, "ul" or "ol"), each with an open <li>
    item = None  # the text lines of the list item being read

    def end_text():
        nonlocal item
        if item is not None:
            body.append(inline(" ".join(item), pictures))
            item = None

    def close_lists():
        end_text()
        while lists:
            body.append("</li></%s>" % lists.pop()[1])

    def flush():
        if para:
            body.append("<p>" + inline(" ".join(para), pictures) + "</p>")
            para.clear()

    comment = False
    for raw in lines:
        line = raw.rstrip("\n")
        if comment or line.lstrip().startswith("<!--"):
            comment = "-->" not in line
            continue
        stripped = line.strip()
        marker = re.match(r"( *)(- |\d+\. )(.*)", line)
        if not stripped:
            flush()
        elif stripped.startswith("#"):
            flush(), close_lists()
            level = len(stripped) - len(stripped.lstrip("#"))
            text = inline(stripped[level:].strip(), pictures)
            body.append("<h%d>%s</h%d>" % (level, text, level))
        elif marker:
            flush(), end_text()
            indent, kind = len(marker.group(1)), "ol" if marker.group(2)[0].isdigit() else "ul"
            if not lists or indent > lists[-1][0]:
                body.append("<%s>" % kind)
                lists.append((indent, kind))
            else:
                while len(lists) > 1 and lists[-1][0] > indent:
                    body.append("</li></%s>" % lists.pop()[1])
                body.append("</li>")
            body.append("<li>")
            item = [marker.group(3)]
        elif item is not None and line.startswith(" "):
            item.append(stripped)
        else:
            close_lists()
            para.append(stripped)
    flush(), close_lists()
    return "\n".join(body), pictures


def main(source, picture_folder, out_folder):
    with open(source, encoding="utf-8") as f:
        lines = f.readlines()
    body, pictures = convert(lines)
    title = lines[0].lstrip("# ").strip() if lines else "Anleitung"
    os.makedirs(os.path.join(out_folder, "bilder"), exist_ok=True)
    for src in pictures:
        shutil.copyfile(os.path.join(picture_folder, os.path.basename(src)),
                        os.path.join(out_folder, "bilder", os.path.basename(src)))
    with open(os.path.join(out_folder, "Anleitung.html"), "w", encoding="utf-8",
              newline="\n") as f:
        f.write('<!DOCTYPE html>\n<html lang="de">\n<head>\n<meta charset="utf-8">\n'
                "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
                % (html.escape(title), STYLE, body))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
