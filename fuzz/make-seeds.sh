#!/usr/bin/env bash
# Writes the seed corpus fuzz/corpus/<target>/ from the test vectors under
# tests/ (listing lines, replies, markup) and from small files built here
# (settings images, pictures). Run again after adding test vectors; the files
# are committed, so `make fuzz` does not need this.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 - "$@" <<'EOF'
import hashlib, os, re, struct, zlib, glob, shutil

root = "fuzz/corpus"

def put(target, data, name=None):
    os.makedirs(f"{root}/{target}", exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogateescape")
    name = name or hashlib.sha1(data).hexdigest()[:16]
    with open(f"{root}/{target}/{name}", "wb") as f:
        f.write(data)

# C string literals of a test file, escapes resolved, adjacent pieces joined.
literal = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
def literals(path):
    text = open(path, encoding="utf-8", errors="surrogateescape").read()
    text = re.sub(r'"\s*\n\s*"', "", text)
    out = []
    for m in literal.finditer(text):
        s = m.group(1)
        s = re.sub(r'\\x([0-9a-fA-F]{2})', lambda x: chr(int(x.group(1), 16)), s)
        s = (s.replace(r'\r', '\r').replace(r'\n', '\n').replace(r'\t', '\t')
              .replace(r'\"', '"').replace(r'\0', '\0').replace('\\\\', '\\'))
        out.append(s)
    return out

for t in glob.glob(f"{root}/*/"):
    shutil.rmtree(t)

# Listings: the lines the grammar tests read, each alone and all together.
unix = re.compile(r'^[-dlcbps][-rwxsStT]{9}')
dos = re.compile(r'^\s*\d{1,4}[-/.]\d{1,2}[-/.]\d{1,4}\s')
groups = {"unix_listing": [], "mlsd_listing": [], "dos_listing": []}
for path in glob.glob("tests/remote/*.cpp") + glob.glob("tests/cli/*.cpp"):
    for s in literals(path):
        for line in s.split("\n"):
            line = line.rstrip("\r")
            if unix.match(line):
                groups["unix_listing"].append(line)
            elif "type=" in line and ";" in line:
                groups["mlsd_listing"].append(line)
            elif dos.match(line):
                groups["dos_listing"].append(line)
for target, lines in groups.items():
    lines = sorted(set(lines))
    for line in lines[:150]:
        put(target, line + "\r\n")
    put(target, "total 12\r\n" + "\r\n".join(lines) + "\r\n", "all")
mixed = groups["unix_listing"][:40] + groups["dos_listing"][:20] + groups["mlsd_listing"][:20]
put("mixed_listing", "\n".join(mixed) + "\n", "all")
for line in mixed[::4]:
    put("mixed_listing", line + "\n")

# Replies: what the session tests send, cut into the deliveries the target reads
# (a length byte before each piece).
def deliveries(text, piece):
    data = text.encode("latin-1", "replace")
    out = b""
    for i in range(0, len(data), piece):
        chunk = data[i:i + piece]
        out += bytes([len(chunk)]) + chunk
    return out
replies = set()
for path in glob.glob("tests/session/*.cpp"):
    for s in literals(path):
        if re.match(r'^\d{3}[ -]', s) and s.endswith("\n"):
            replies.add(s)
replies = sorted(replies)
for i, r in enumerate(replies[:120]):
    put("reply_assembler", deliveries(r, 1 + i % 7 * 9))
put("reply_assembler", deliveries("".join(replies[:60]), 200), "all")
feat = [r for r in replies if r.startswith(("211", "214"))]
for r in feat[:30]:
    put("command_index", r)
put("command_index", "211-Features:\r\n MLSD\r\n MLST type*;size*;modify*;\r\n REST STREAM\r\n"
    " SIZE\r\n UTF8\r\n211 End\r\n", "feat")
put("command_index", "214-The following commands are recognized.\r\n ABOR ACCT ALLO APPE CDUP"
    " CWD  DELE EPRT\r\n EPSV FEAT HELP LIST MDTM MKD  MLSD MLST\r\n214 Help OK.\r\n", "help")
for r in replies:
    m = re.search(r'227 [^\r\n]*', r)
    if m:
        put("passive_reply", m.group(0) + "\r\n")
for line in ["227 Entering Passive Mode (192,168,1,2,19,137)", "227 =127,0,0,1,4,1",
             "227 Entering Passive Mode (10,0,0,1,0,21).", "227 (0,0,0,0,255,255)"]:
    put("passive_reply", line + "\r\n")

# Markup: the strings the markup and layout tests use.
for path in ["tests/extras/markup_parser_test.cpp", "tests/ui/markup_layout_test.cpp"]:
    if os.path.exists(path):
        for s in literals(path):
            if "<" in s:
                put("markup", s)
put("markup", "<font size='14' color='255,0,0' style='bu' face=\"Mono\">Red</font><br>"
    "<a href=\"#note#7\" background='none'>link &amp; &lt;x&gt;</a><hr><img src='a.png'>\n"
    "<font align=right valign=bottom color=\"300,-1,2\">x</font>", "sample")

# Banner pages, with the desktop height in front.
def banner(keys, blocks):
    body = "<html>\r\n<!-- " + keys + " -->\r\n<head><title>B</title></head>\r\n<body>\r\n"
    for n in range(blocks):
        body += (f'<div class="b">\r\n <div id="s{n}"><div>nested {n}</div></div>\r\n'
                 f' <div id="p{n}">page {n}</div>\r\n</div>\r\n')
    return body + "</body></html>\r\n"
for height, blocks in [(772, 12), (200, 3), (1200, 1)]:
    keys = "TIMER-ELAPSE : 30\r\nBANNER-HEIGHT:60\r\nLABEL-NAMES: News,  Tools ,Tips \t\r\n"
    put("banner_page", struct.pack("<H", height) + banner(keys, blocks).encode())

# Search patterns: kinds, relation, size, unit, case, name.
for kinds, rel, size, unit, name in [(1, 0, 0, 0, "*.txt"), (3, 1, 10, 1, "abc*.c*"),
                                     (0x3f, 2, 5, 2, "*name*"), (1, 0, 0, 0, "file.")]:
    put("search_pattern", struct.pack("<BBiBB", kinds, rel, size, unit, 1) + name.encode())

# Settings images, field by field as the program writes them.
def wide(s):
    b = s.encode("utf-16-le")
    return struct.pack("<i", len(b)) + b
def narrow(b):
    return struct.pack("<i", len(b)) + b
placement = struct.pack("<11i", 44, 0, 3, -1, -1, -1, -1, 10, 20, 810, 620)
font = struct.pack("<5i8B", -13, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0) + "Arial".encode(
    "utf-16-le").ljust(64, b"\0")
app = (struct.pack("<BiiBBBiBiii", 2, 2, 2, 1, 0, 0, 1, 0, 0x00D2FFFF, 0x00FFFFF0, 12) +
       placement + struct.pack("<9i", 0x13, 5, 1000, 0, 0, 0x0050001E, 0x002D003C,
                                0x00320041, 0x00320046) + wide("/home/user/www") + font + font)
put("app_settings", app, "setting.set")
put("app_settings", app[:100], "setting-cut.set")
mixed_set = (struct.pack("<iBqBBBBB", 3, 1, 100, 1, 1, 1, 1, 0) + narrow(b"report") +
             struct.pack("<BB", 0, 1) + narrow(b"txt") + struct.pack("<BBB", 0x1f, 1, 0x43))
put("mixed_settings", mixed_set, "mixed.set")
def site(name, host, port):
    return (wide(name) + wide("comment") + wide(host) + struct.pack("<iB", port, 0) +
            wide("user") + wide("secret") + struct.pack("<BBB", 1, 2, 1) + wide("/home/u/site") +
            wide("/public_html") + wide("index.html") + wide("www.example.test") +
            wide("/public_html") + wide("/www") + wide("") + struct.pack("<i", 5))
put("site_file", struct.pack("<ii", 1, 2) + site("Home", "ftp.home.test", 21) +
    site("Work", "10.0.0.5", 2121), "site.set")
put("site_file", struct.pack("<ii", 0, 7) + site("Cut", "h", 21)[:50], "site-cut.set")
def tool(name, path, file, http):
    return wide(name) + wide(path) + wide(file) + struct.pack("<B", http)
put("tool_file", struct.pack("<i", 2) + tool("Firefox", "/usr/bin", "firefox", 1) +
    tool("Gimp", "", "gimp", 0) + struct.pack("<i", 1) + tool("Mine", "/opt/x", "view", 0),
    "tools.set")

# Pictures: the test files, a PNG and a TIFF built here, and the JPEG kept beside
# this script (built once with Qt, which the script cannot call).
for path in glob.glob("tests/extras/data/*"):
    put("image_decoder", open(path, "rb").read(), os.path.basename(path))
def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))
rows = b"".join(b"\0" + bytes([250, 0, 0] * 7 if y < 2 else [0, 0, 250] * 7) for y in range(5))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 7, 5, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
put("image_decoder", png, "sample-7x5.png")
pixels = bytes([250, 0, 0] * 14 + [0, 0, 250] * 21)
entries = [(256, 3, 1, 7), (257, 3, 1, 5), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 2),
           (273, 4, 1, 8), (277, 3, 1, 3), (278, 3, 1, 5), (279, 4, 1, len(pixels))]
ifd_at = 8 + len(pixels)
ifd = struct.pack("<H", len(entries)) + b"".join(
    struct.pack("<HHI", tag, kind, count) +
    (struct.pack("<HH", value, 0) if kind == 3 else struct.pack("<I", value))
    for tag, kind, count, value in entries) + struct.pack("<I", 0)
put("image_decoder", b"II*\0" + struct.pack("<I", ifd_at) + pixels + ifd, "sample-7x5.tif")
for path in glob.glob("fuzz/seed-files/*"):
    put("image_decoder", open(path, "rb").read(), os.path.basename(path))
EOF
