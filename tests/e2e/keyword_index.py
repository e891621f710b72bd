#!/usr/bin/env python3
"""Checks the binary keyword index of documents compiled by the built-in compiler.

keyword_index.py QUIREW_CLI WORKDIR

Writes two projects, builds them with quirew-cli (no chmcmd on PATH: the built-in
compiler), extracts the documents with chmlib's extract_chmLib and decodes the keyword
index files here, from the public description of their layout, independently of the
compiler's own code:

- a generated project of 3,000 topics: one keyword on every topic, one keyword of its own
  on each, so that the index needs many listing blocks and more than one level of index
  blocks above them;
- a small project whose help project file names an index file of its own, with
  sub-keywords, a see-also entry, a reference to an anchor, keywords that differ only in
  case, and page keyword objects that add to it.

The BTree layout read here: a 0x4C-byte header (";)", flags, block size 2048, "X44", last
listing block, root block, -1, block count, tree depth, keyword count, code page, LCID,
compiled-document flag), then 2048-byte blocks. Listing blocks: free space, entry count,
previous and next block, then entries: UTF-16 keyword ("parent, child" for a sub-keyword),
see-also flag (2 or 0), depth, character index of the last level, 0, pair count, then
the topic numbers (or a UTF-16 see-also text), then 1 and the entry's offset in the Data
file (13 bytes an entry). Index blocks: free space, entry count, first child block, then
entries as listing entries up to the topics, followed by the child block's number.
"""
import os
import shutil
import struct
import subprocess
import sys

cli, work = sys.argv[1], sys.argv[2]
BLOCK = 2048
SEP = "-" * 50


def fail(text):
    print("FAIL: " + text, file=sys.stderr)
    sys.exit(1)


def check(condition, text):
    if not condition:
        fail(text)


def utf16z(data, at):
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
        check(end + 2 <= len(data), "unterminated UTF-16 text")
    return data[at:end].decode("utf-16-le"), end + 2


class Document:
    def __init__(self, folder):
        self.folder = folder

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def exists(self, name):
        return os.path.exists(os.path.join(self.folder, name))

    def topic_url(self, index):
        topics, urltbl, urlstr = self.read("#TOPICS"), self.read("#URLTBL"), self.read("#URLSTR")
        check(index * 16 + 16 <= len(topics), f"topic {index} beyond #TOPICS")
        url_offset = struct.unpack_from("<I", topics, index * 16 + 8)[0]
        number, topic, str_offset = struct.unpack_from("<III", urltbl, url_offset)
        check(topic == index, f"#URLTBL entry of topic {index} names topic {topic}")
        name = urlstr[str_offset + 8:].split(b"\0")[0]
        return name.decode("latin-1")


def parse_entry(data, at, listing):
    name, at = utf16z(data, at)
    see_also, depth, char_index, zero, pairs = struct.unpack_from("<HHIII", data, at)
    at += 16
    check(see_also in (0, 2), f"{name!r}: see-also flag {see_also}")
    check(zero == 0, f"{name!r}: reserved field {zero}")
    entry = {"name": name, "depth": depth, "char": char_index, "see": None, "topics": []}
    if see_also:
        entry["see"], at = utf16z(data, at)
    else:
        entry["topics"] = list(struct.unpack_from(f"<{pairs}I", data, at))
        at += 4 * pairs
    if listing:
        one, data_offset = struct.unpack_from("<II", data, at)
        check(one == 1, f"{name!r}: {one} where 1 stands")
        entry["data"] = data_offset
        at += 8
    else:
        entry["child"] = struct.unpack_from("<I", data, at)[0]
        at += 4
    return entry, at


def decode_index(doc, folder="$WWKeywordLinks"):
    btree = doc.read(folder + "/BTree")
    check(btree[:2] == b";)", "BTree signature")
    flags, block_size = struct.unpack_from("<HH", btree, 2)
    check(block_size == BLOCK, f"block size {block_size}")
    check(btree[6:9] == b"X44" and btree[9:22] == b"\0" * 13, "data format X44")
    (last_listing, root, minus_one, blocks) = struct.unpack_from("<IIiI", btree, 0x1A)
    tree_depth = struct.unpack_from("<H", btree, 0x2A)[0]
    keywords, code_page, lcid, is_chm = struct.unpack_from("<IIII", btree, 0x2C)
    check(minus_one == -1, "header -1 field")
    check(is_chm == 1, "compiled-document flag")
    check(len(btree) == 0x4C + blocks * BLOCK, f"BTree of {len(btree)} bytes for {blocks} blocks")
    block = lambda n: btree[0x4C + n * BLOCK:0x4C + (n + 1) * BLOCK]

    # The listing blocks, walked by their links from block 0 as readers walk them.
    entries, n, previous, seen = [], 0, -1, 0
    while True:
        data = block(n)
        free, count, prev, nxt = struct.unpack_from("<HHii", data, 0)
        check(prev == previous, f"listing block {n}: previous {prev}, expected {previous}")
        at = 12
        first = len(entries)
        for _ in range(count):
            entry, at = parse_entry(data, at, True)
            entries.append(entry)
        check(free == BLOCK - at, f"listing block {n}: free space {free}, used {at}")
        check(count > 0 or n == 0, f"listing block {n} is empty")
        entries[first]["block"] = n if count else None
        seen += 1
        if nxt == -1:
            break
        check(nxt == n + 1, f"listing block {n} links to {nxt}")
        previous, n = n, nxt
    check(n == last_listing, f"last listing block {n}, header says {last_listing}")
    check(len(entries) == keywords, f"{len(entries)} entries, header says {keywords}")
    for i, entry in enumerate(entries):
        check(entry["data"] == 13 * i, f"entry {i}: Data offset {entry['data']}")
    check(len(doc.read(folder + "/Data")) == 13 * keywords, "Data size")

    # The index levels: from the root down, every entry names the first keyword of the
    # block it leads to, and the entries of one level are in the listing order.
    first_of_block = {}
    index = 0
    for b in range(last_listing + 1):
        first_of_block[b] = (entries[index]["name"], tuple(entries[index]["topics"])) if entries else None
        index += struct.unpack_from("<H", block(b), 2)[0]

    def walk(n, level):
        if n <= last_listing:
            return 1, [n]
        data = block(n)
        free, count, first_child = struct.unpack_from("<HHI", data, 0)
        at, leaves, depths = 8, [], set()
        for i in range(count):
            entry, at = parse_entry(data, at, False)
            if i == 0:
                check(entry["child"] == first_child, f"index block {n}: first child")
            child = entry["child"]
            check(child < n, f"index block {n} leads up to block {child}")
            depth, below = walk(child, level + 1)
            depths.add(depth)
            check(first_of_block[below[0]] == (entry["name"], tuple(entry["topics"])),
                  f"index block {n}: entry {entry['name']!r} is not the first of block {child}")
            leaves += below
        check(free == BLOCK - at, f"index block {n}: free space")
        check(len(depths) == 1, f"index block {n}: children of unequal depth")
        # The first entry of an index block stands for its block upwards.
        first_of_block[n] = first_of_block[leaves[0]]
        return depths.pop() + 1, leaves

    depth, leaves = walk(root, 0)
    check(leaves == list(range(last_listing + 1)), "index does not reach every listing block once")
    check(depth == tree_depth, f"tree depth {depth}, header says {tree_depth}")

    # Map: the number of the first entry of every listing block.
    mapping = doc.read(folder + "/Map")
    count = struct.unpack_from("<H", mapping, 0)[0]
    check(count == last_listing + 1 and len(mapping) == 2 + 6 * count, "Map size")
    index = 0
    for b in range(count):
        first, number = struct.unpack_from("<IH", mapping, 2 + 6 * b)
        check((first, number) == (index, b), f"Map record {b}: {first}, {number}")
        index += struct.unpack_from("<H", block(b), 2)[0]

    # Order: level by level without regard to case; a sub-keyword right under its keyword.
    path = []
    previous_key = None
    for entry in entries:
        levels = entry["name"].split(", ") if entry["depth"] else [entry["name"]]
        if entry["depth"]:
            # The last level starts at the character index; the levels above are the path.
            parent = entry["name"][:entry["char"] - 2]
            levels = [parent, entry["name"][entry["char"]:]]
            check(entry["name"][entry["char"] - 2:entry["char"]] == ", ",
                  f"{entry['name']!r}: character index {entry['char']}")
            check(len(path) >= entry["depth"] and ", ".join(path[:entry["depth"]]) == parent,
                  f"{entry['name']!r} does not follow its keyword")
            path = path[:entry["depth"]] + [levels[-1]]
        else:
            check(entry["char"] == 0, f"{entry['name']!r}: character index of a keyword")
            path = [entry["name"]]
        key = [p.lower() for p in path]
        check(previous_key is None or previous_key <= key,
              f"{entry['name']!r} sorted after {previous_key}")
        previous_key = key
        entry["path"] = tuple(path)
    return {"entries": entries, "depth": tree_depth, "blocks": blocks, "lcid": lcid,
            "listing": last_listing + 1, "code_page": code_page}


def keyword_pages(doc, index):
    """Keyword path -> set of page references; see-also entries -> "see:" + target."""
    result = {}
    for entry in index["entries"]:
        pages = result.setdefault(entry["path"], set())
        if entry["see"] is not None:
            pages.add("see:" + entry["see"])
        for topic in entry["topics"]:
            pages.add(doc.topic_url(topic))
    return result


def system_entries(doc):
    data = doc.read("#SYSTEM")
    entries, at = {}, 4
    while at + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, at)
        entries[code] = data[at + 4:at + 4 + size]
        at += 4 + size
    return entries


def build(project_dir, name):
    env = dict(os.environ)
    env["PATH"] = os.path.join(work, "bin")
    result = subprocess.run([cli, "build", os.path.join(project_dir, name + ".qwr")], env=env,
                            capture_output=True, text=True)
    check(result.returncode == 0, f"{name}: build failed: {result.stderr}")
    out = os.path.join(project_dir, "x")
    shutil.rmtree(out, ignore_errors=True)
    subprocess.run(["extract_chmLib", os.path.join(project_dir, name + ".chm"), out],
                   check=True, capture_output=True)
    return Document(out)


def write_project(directory, name, topics, language="0x409 English (United States)",
                  index_file=None, extra_files=()):
    """topics: (title, file name, keywords cell, extra body text); 99 to a chapter file."""
    os.makedirs(directory, exist_ok=True)
    chapters = [topics[i:i + 99] for i in range(0, len(topics), 99)]
    qwr = ["[CHAPTER_FILES]", f"NumOfChapters={len(chapters)}"]
    for c, chapter in enumerate(chapters):
        lines = ["<html>", "<head>", "<title>_Title_</title>", "</head>", "<body>", ""]
        for title, file_name, keywords, body in chapter:
            lines += [f"{SEP}<br>",
                      f"Title='{title}' <br>KeyWords='{keywords}' <!-- FileName='{file_name}' - "
                      "Icon='10' - BgImage='' - BgColour='$FFFFFF' - Related=''--> ",
                      f"<br>{SEP}", f"<h1>{title}</h1>", f"<p>{body}</p>"]
        lines += ["</body>", "</html>", ""]
        with open(os.path.join(directory, f"chapter{c}.htm"), "w", encoding="utf-8",
                  newline="\r\n") as f:
            f.write("\n".join(lines))
        qwr += [f"ChapterTitle{c}=Chapter {c}", f"ChapterFileName{c}=chapter{c}.htm"]
    qwr += ["[PROJECT_PROPERTIES]", f"TitleBarText={name}", ""]
    with open(os.path.join(directory, name + ".qwr"), "w", newline="\r\n") as f:
        f.write("\n".join(qwr))
    hhp = ["[OPTIONS]", f"Compiled file={name}.chm", f"Contents file={name}_toc.hhc",
           f"Index file={index_file or name + '_indx.hhk'}", "Default topic=",
           f"Language={language}", "", "[FILES]"] + list(extra_files) + [""]
    with open(os.path.join(directory, name + ".hhp"), "w", newline="\r\n") as f:
        f.write("\n".join(hhp))


os.makedirs(os.path.join(work, "bin"), exist_ok=True)
for tool in ("sh", "bash", "cat"):
    link = os.path.join(work, "bin", tool)
    if not os.path.exists(link):
        os.symlink(shutil.which(tool), link)

# --- 3,000 topics: one keyword on all of them, one of its own on each --------------------
big = os.path.join(work, "big")
count = 3000
write_project(big, "big", [(f"Topic {i}", f"t{i}.htm", f"everywhere, key {i:05d} alone", "")
                           for i in range(count)])
doc = build(big, "big")
index = decode_index(doc)
pages = keyword_pages(doc, index)
check(pages.get(("everywhere",)) == {f"t{i}.htm" for i in range(count)},
      f"'everywhere' leads to {len(pages.get(('everywhere',), ()))} pages, not {count}")
for i in (0, 1, 1234, count - 1):
    check(pages.get((f"key {i:05d} alone",)) == {f"t{i}.htm"}, f"key {i} leads elsewhere")
check(len(pages) == count + 1, f"{len(pages)} keywords, not {count + 1}")
check(index["depth"] >= 3, f"tree of depth {index['depth']}: not several index levels")
check(index["lcid"] == 0x409 and index["code_page"] == 1252, "language in the header")
check(system_entries(doc)[4][12:16] == b"\1\0\0\0", "#SYSTEM does not announce keyword links")
check(doc.exists("$WWAssociativeLinks/Property"), "no associative links property file")
print(f"big: {count + 1} keywords in {index['listing']} listing blocks, "
      f"{index['blocks'] - index['listing']} index blocks, depth {index['depth']}")

# --- an index file of the author's, merged with the pages' keyword objects --------------
small = os.path.join(work, "small")
hhk = """<HTML><BODY>
<OBJECT type="text/site properties"><param name="FrameName" value="x"></OBJECT>
<UL>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Zebra"><param name="Name" value="Z">
       <param name="Local" value="zebra.htm#stripes"></OBJECT>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="printing">
       <param name="Local" value="print.htm"></OBJECT>
  <UL>
    <LI> <OBJECT type="text/sitemap"><param name="Name" value="paper size">
         <param name="Local" value="paper.htm"></OBJECT>
    <LI> <OBJECT type="text/sitemap"><param name="Name" value="colour &amp; ink">
         <param name="Local" value="print.htm"></OBJECT>
  </UL>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="output">
       <param name="See Also" value="printing"></OBJECT>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Alpha">
       <param name="Local" value="zebra.htm"></OBJECT>
</UL>
</BODY></HTML>
"""
os.makedirs(small, exist_ok=True)
with open(os.path.join(small, "mine.hhk"), "w") as f:
    f.write(hhk)
write_project(small, "small", [
    ("Print", "print.htm", "printing", ""),
    ("Paper", "paper.htm", "alpha, printing", ""),
    ("Zebra", "zebra.htm", "",
     '<OBJECT type="application/x-oleobject" classid="clsid:1E2A7BD0-DAB9-11D0-B93A-00C04FC99F9E">'
     '<param name="Keyword" value="stripes; printing, borders"></OBJECT>'
     '<object type="application/x-oleobject" classid="clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e">'
     '<param name="ALink Name" value="animals"></object>'),
], index_file="mine.hhk")
doc = build(small, "small")
index = decode_index(doc)
pages = keyword_pages(doc, index)
want = {
    ("Alpha",): {"zebra.htm", "paper.htm"},
    ("output",): {"see:printing"},
    ("printing",): {"print.htm", "paper.htm"},
    ("printing", "borders"): {"zebra.htm"},
    ("printing", "colour & ink"): {"print.htm"},
    ("printing", "paper size"): {"paper.htm"},
    ("stripes",): {"zebra.htm"},
    ("Zebra",): {"zebra.htm#stripes"},
}
check(pages == want, f"keywords: {sorted(pages.items())}")
check([e["path"] for e in index["entries"]] == sorted(want, key=lambda p: [x.lower() for x in p]),
      "entries out of order")
links = decode_index(doc, "$WWAssociativeLinks")
check(keyword_pages(doc, links) == {("animals",): {"zebra.htm"}}, "associative links")
check(system_entries(doc)[4][12:20] == b"\1\0\0\0\1\0\0\0", "#SYSTEM link flags")
print("small: sub-keywords, see-also, anchors and page objects decoded as written")

# --- a Russian document: pages and index file in code page 1251, a German keyword in it
# written as character references ----------------------------------------------------------
ru = os.path.join(work, "ru")
write_project(ru, "ru", [("Привет", "p1.htm", "общий, Größe", ""),
                         ("Мир", "p2.htm", "ОБЩИЙ", "")], language="0x419 Russian")
doc = build(ru, "ru")
with open(os.path.join(doc.folder, "p1.htm"), "rb") as f:
    check("&#246;".encode() in f.read(), "the page does not write ö as a reference")
index = decode_index(doc)
# The index file lists "ОБЩИЙ" and "общий" apart, capitals first; the binary index
# makes them one keyword, spelled as first met.
check(keyword_pages(doc, index) == {("ОБЩИЙ",): {"p1.htm", "p2.htm"}, ("Größe",): {"p1.htm"}},
      f"Russian keywords: {keyword_pages(doc, index)}")
check(index["lcid"] == 0x419 and index["code_page"] == 1251, "Russian language in the header")
print("ru: keywords of a code-page document decoded, references included")
print("PASS")
