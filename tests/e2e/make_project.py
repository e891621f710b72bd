#!/usr/bin/env python3
"""Writes a project for the end-to-end test of compiled documents.

make_project.py DIR NAME LANGUAGE CHAPTERS TOPICS STYLE
  LANGUAGE  e.g. "0x419 Russian"; written into the help project file the build keeps
  STYLE     "cyrillic" (Cyrillic titles, some German ones) or "german"

Every topic has the background image images/bg.gif, a keyword shared by its whole
chapter and one shared by one topic in five (in the project's language), and a body
word of its own
("bodyword" + chapter letter + topic number) that stands in no title or keyword. Chapter
files are UTF-8. No DefaultPage is set. Prints nothing; the test reads the table back
with quirew-cli.
"""
import os
import sys

directory, name, language, chapters, topics, style = sys.argv[1:7]
chapters, topics = int(chapters), int(topics)
os.makedirs(os.path.join(directory, "images"), exist_ok=True)
# A 1x1 GIF, drawn here.
gif = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xf8\xdc\x00\x00\x00!\xf9\x04\x00\x00\x00"
       b"\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")
with open(os.path.join(directory, "images", "bg.gif"), "wb") as f:
    f.write(gif)

sep = "-" * 50


def title(c, t):
    if style == "german":
        return f"Zürich Straße {c}.{t} – Grüße"
    if t % 10 == 3:
        return f"Größe {c}.{t}"  # German in a Cyrillic document: written as references
    return f"Привет {c}.{t} Москва"


qwr = ["[CHAPTER_FILES]", f"NumOfChapters={chapters}"]
for c in range(chapters):
    letter = chr(ord("a") + c)
    chapter_title = "Глава" if style == "cyrillic" else "Kapitel"
    qwr += [f"ChapterTitle{c}={chapter_title} {c}", f"ChapterFileName{c}=chapter{c}.htm"]
    lines = ["<html>", "<head>", "<title>_Title_</title>", "</head>",
             '<body bgcolor="#FFFFFF" background="_BgImage_" text="#000040">', ""]
    for t in range(topics):
        if style == "cyrillic":
            keywords = f"общий {c}" + (", каждый пятый" if t % 5 == 0 else "")
        else:
            keywords = f"gemeinsam {c}" + (", jedes fünfte" if t % 5 == 0 else "")
        lines.append(f"{sep}<font size=\"-2\"><br>")
        lines.append(f"Title='{title(c, t)}#Hint' <br>KeyWords='{keywords}' <!-- FileName="
                     f"'{letter}{t}.htm' - Icon='{t % 42}' - BgImage='images/bg.gif' - "
                     f"BgColour='$00DCF8FF' - Related=''--> ")
        lines.append(f"<br></font>{sep}")
        lines.append(f"<h1>{title(c, t)}</h1>")
        lines.append(f"<p>This page tells of bodyword{letter}{t} and of "
                     f"{'Зимний дворец' if style == 'cyrillic' else 'Bärenhöhle'}.</p>")
    lines += ["</body>", "</html>", ""]
    with open(os.path.join(directory, f"chapter{c}.htm"), "w", encoding="utf-8",
              newline="\r\n") as f:
        f.write("\n".join(lines))

qwr += ["[PROJECT_PROPERTIES]", f"TitleBarText={name}", ""]
with open(os.path.join(directory, f"{name}.qwr"), "w", encoding="utf-8", newline="\r\n") as f:
    f.write("\n".join(qwr))

# The help project file the author keeps: it names the language; the build refreshes
# only its file list.
hhp = ["[OPTIONS]", "Compatibility=1.1 or later", "Default Window=Main",
       "Full-text search=Yes", f"Compiled file={name}.chm", f"Contents file={name}_toc.hhc",
       f"Index file={name}_indx.hhk", "Default topic=", f"Language={language}", "",
       "[WINDOWS]",
       f'Main="{name}","{name}_toc.hhc","{name}_indx.hhk",,,,,"AboutJmp.htm","About",'
       "0x1520,220,0x83006,[0,0,640,480],,,,,,,0", "", "[FILES]", ""]
with open(os.path.join(directory, f"{name}.hhp"), "w", encoding="ascii", newline="\r\n") as f:
    f.write("\n".join(hhp))
