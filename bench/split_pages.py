#!/usr/bin/env python3
"""The yardstick for the build's CPU: a plain splitter of a project's chapters into one
page per topic (head with the title put in, the topic's lines, a footer), without any
of the build's checks. split_pages.py PROJECT.qwr [SEPARATOR]"""
import os
import re
import sys

project = sys.argv[1]
separator = (sys.argv[2] if len(sys.argv) > 2 else "-" * 50).encode()
root = os.path.dirname(os.path.abspath(project))
with open(project, "rb") as f:
    settings = f.read().decode("latin-1")
chapters = re.findall(r"^ChapterFileName\d+=(.*?)\r?$", settings, re.M)
item = re.compile(rb"(Title|FileName)='([^']*)'", re.I)
written = 0
for chapter in chapters:
    path = os.path.join(root, chapter.replace("\\", "/"))
    folder = os.path.dirname(path)
    with open(path, "rb") as f:
        lines = f.read().splitlines()
    body = next((i for i, l in enumerate(lines) if b"<body" in l.lower()), -1)
    head = lines[: body + 1]
    marks = [i for i, l in enumerate(lines) if separator in l]
    for n in range(0, len(marks) - 1, 2):
        meta = dict((k.lower(), v) for k, v in item.findall(b"\n".join(lines[marks[n]:marks[n + 1] + 1])))
        name = meta.get(b"filename")
        if not name:
            continue
        title = meta.get(b"title", b"").split(b"#")[0]
        end = marks[n + 2] if n + 2 < len(marks) else len(lines)
        page = [b"<!-- split -->"] + [l.replace(b"_Title_", title) for l in head]
        page += lines[marks[n + 1] + 1:end]
        page += [b"</BODY></HTML>", b""]
        with open(os.path.join(folder, name.decode("latin-1")), "wb") as out:
            out.write(b"\r\n".join(page))
        written += 1
print(written, "pages")
