#!/usr/bin/python3
"""Group-by-group comparison of two DXF files: the one a drawing was opened
from and the one the host saved.

The files are read as raw group-code/value pairs, with no interpretation
beyond telling records apart, so that a group the host drops, adds or changes
shows up whatever the group means. Every difference is reported except the
bookkeeping that the README allows a save to change (its "Drawing files"
section lists it; BOOKKEEPING below is the same list):

  - the order of table records, classes and objects (entities keep theirs);
  - owners (330 outside a 102 group) and reactor lists, which the host
    assigns anew from what it keeps;
  - a table's record count (70 of its TABLE head, 71 of DIMSTYLE's) and
    $HANDSEED;
  - handles (5, 105) in a file that had none, and pointers to them;
  - header variables the source file did not have;
  - subclass markers (100) added to an object that had none;
  - what a file before AC1015 gains when it is saved as AC1015: $ACADVER,
    the BLOCK_RECORD table, the CLASSES and OBJECTS sections, handles of
    objects that had none, and the names *Model_Space and *Paper_Space for
    $MODEL_SPACE and $PAPER_SPACE;
  - comments (999).

Pointers (320-369, 390-399, 480, 481, 1005) are compared through the handles
of the objects they point at, so that a file given handles anew still shows
a link that points elsewhere. Numbers are compared as numbers (reals to 1e-12
relative), texts in UTF-8 after decoding the file's code page, with the
"\\U+XXXX" form of a character taken as the character.

Use from a test:   python3 dxf_groups.py BEFORE AFTER   (exit 0: no difference,
1: differences, one per line; 2: a file cannot be read), or import it and call
compare_files(before, after), which gives the differences as texts.
"""

import math
import re
import sys

BOOKKEEPING = [
    "order of table records, classes and objects",
    "owners (330) and reactor lists (102 {ACAD_REACTORS)",
    "table record counts (70 of a TABLE head, 71 of DIMSTYLE's)",
    "$HANDSEED",
    "handles added to a file that had none",
    "header variables added",
    "subclass markers (100) added to an object that had none",
    "what a file before AC1015 gains when saved as AC1015: $ACADVER, the BLOCK_RECORD table, "
    "the CLASSES and OBJECTS sections, handles, *Model_Space and *Paper_Space",
    "comments (999)",
]

CODE_PAGES = {
    "ANSI_874": "cp874", "ANSI_932": "cp932", "ANSI_936": "gbk", "ANSI_949": "cp949",
    "ANSI_950": "cp950", "ANSI_1250": "cp1250", "ANSI_1251": "cp1251", "ANSI_1252": "cp1252",
    "ANSI_1253": "cp1253", "ANSI_1254": "cp1254", "ANSI_1255": "cp1255", "ANSI_1256": "cp1256",
    "ANSI_1257": "cp1257", "ANSI_1258": "cp1258", "DOS437": "cp437", "DOS850": "cp850",
    "DOS852": "cp852", "DOS855": "cp855", "DOS857": "cp857", "DOS860": "cp860",
    "DOS861": "cp861", "DOS863": "cp863", "DOS864": "cp864", "DOS865": "cp865",
    "DOS869": "cp869", "DOS932": "cp932", "MACINTOSH": "mac_roman", "BIG5": "big5",
    "KSC5601": "cp949", "JOHAB": "johab", "DOS866": "cp866", "GB2312": "gbk",
    "ISO8859-1": "latin_1", "ISO8859-2": "iso8859_2", "ISO8859-3": "iso8859_3",
    "ISO8859-4": "iso8859_4", "ISO8859-5": "iso8859_5", "ISO8859-6": "iso8859_6",
    "ISO8859-7": "iso8859_7", "ISO8859-8": "iso8859_8", "ISO8859-9": "iso8859_9",
    "UTF-8": "utf-8", "UTF8": "utf-8",
}


class Unreadable(Exception):
    pass


def value_kind(code):
    """'s' text, 'r' real, 'i' integer, 'h' handle or pointer, 'b' binary."""
    if 0 <= code <= 9 or code in (100, 102) or 300 <= code <= 309 or 410 <= code <= 419 \
            or 430 <= code <= 439 or 470 <= code <= 479 or code == 999 or 1000 <= code <= 1004:
        return "s"
    if code == 105 or 320 <= code <= 369 or 390 <= code <= 399 or code in (480, 481, 1005):
        return "h"
    if 10 <= code <= 59 or 110 <= code <= 149 or 210 <= code <= 239 or 460 <= code <= 469 \
            or 1010 <= code <= 1059:
        return "r"
    if 310 <= code <= 319:
        return "b"
    return "i"


def is_pointer(code):
    return 320 <= code <= 369 or 390 <= code <= 399 or code in (480, 481, 1005)


_UNICODE = re.compile(r"\\U\+([0-9A-Fa-f]{4})")


def _text(value):
    return _UNICODE.sub(lambda m: chr(int(m.group(1), 16)), value)


def _handle(value):
    value = value.strip().upper().lstrip("0")
    return value or "0"


def read_groups(path):
    """The file's groups as (code, value) pairs, values decoded to text."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        raise Unreadable("%s: %s" % (path, error))
    if data.startswith(b"AutoCAD Binary DXF"):
        raise Unreadable("%s: a binary DXF file" % path)
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    # The version and code page decide how the texts are read.
    version, page = b"", b""
    for i in range(0, min(len(lines), 4000) - 3):
        name = lines[i].strip().upper()
        if name == b"$ACADVER":
            version = lines[i + 2].strip().upper()
        elif name == b"$DWGCODEPAGE":
            page = lines[i + 2].strip().upper()
        elif name == b"ENDSEC":
            break
    codec = "utf-8" if version >= b"AC1021" else CODE_PAGES.get(page.decode("latin_1"), "cp1252")
    groups = []
    for i in range(0, len(lines) - 1, 2):
        code_line = lines[i].strip()
        if not code_line:
            if i + 2 >= len(lines):
                break
        try:
            code = int(code_line)
        except ValueError:
            raise Unreadable("%s:%d: the group code %r is no number" % (path, i + 1, code_line[:40]))
        raw = lines[i + 1]
        try:
            value = raw.decode(codec)
        except UnicodeDecodeError:
            value = raw.decode(codec, errors="surrogateescape")
        groups.append((code, value, i + 1))
        if code == 0 and value.strip() == "EOF":
            break
    return groups, version.decode("latin_1")


class Obj:
    """One object: type, groups (code, value, line) after its group 0."""

    def __init__(self, type_, line):
        self.type = type_
        self.line = line
        self.groups = []

    def first(self, code):
        for c, v, _ in self.groups:
            if c == code:
                return v
        return None

    def handle(self):
        h = self.first(105) if self.type == "DIMSTYLE" else None
        h = h if h is not None else self.first(5)
        return _handle(h) if h is not None else None

    def name(self):
        n = self.first(2)
        return _text(n) if n is not None else None


class Dxf:
    def __init__(self, path):
        self.path = path
        groups, self.version = read_groups(path)
        self.header = {}  # "$NAME" -> [(code, value, line)]
        self.header_order = []
        self.sections = {}  # name -> [Obj]
        self.section_order = []
        self.has_handles = any(c in (5, 105) for c, _, _ in groups)
        current = None
        objects = None
        i = 0
        while i < len(groups):
            code, value, line = groups[i]
            if code == 0:
                word = value.strip().upper()
                if word == "EOF":
                    break
                if word == "SECTION":
                    name = ""
                    if i + 1 < len(groups) and groups[i + 1][0] == 2:
                        name = groups[i + 1][1].strip().upper()
                        i += 1
                    objects = self.sections.setdefault(name, [])
                    self.section_order.append(name)
                    current = None
                elif word == "ENDSEC":
                    objects, current = None, None
                elif objects is not None:
                    current = Obj(value.strip(), line)
                    objects.append(current)
                else:
                    current = None
            elif current is not None:
                if code != 999:
                    current.groups.append((code, value, line))
            elif objects is not None and self.section_order[-1] == "HEADER":
                self._header_group(code, value, line)
            i += 1

    _variable = None

    def _header_group(self, code, value, line):
        if code == 9:
            self._variable = value.strip().upper()
            if self._variable not in self.header:
                self.header[self._variable] = []
                self.header_order.append(self._variable)
            return
        if self._variable is not None and code != 999:
            self.header[self._variable].append((code, value, line))

    def section(self, name):
        return self.sections.get(name, [])


# -- matching ------------------------------------------------------------------


def _match(before, after, key_of_before, by_handle, by_name=True):
    """Pairs the objects of two lists: by handle where the first file has
    them, then by type and name, then by position among what is left.
    Gives (pairs, missing, added)."""
    pairs, used = [], set()
    missing = []
    index = {}
    if by_handle:
        for j, o in enumerate(after):
            h = o.handle()
            if h is not None:
                index.setdefault(h, j)
    left = []
    for o in before:
        h = o.handle() if by_handle else None
        j = index.get(h) if h is not None else None
        if j is not None and j not in used and after[j].type.upper() == o.type.upper():
            used.add(j)
            pairs.append((o, after[j]))
        else:
            left.append(o)
    if by_name:
        names = {}
        for j, o in enumerate(after):
            if j not in used:
                names.setdefault((o.type.upper(), key_of_before(o)), []).append(j)
        still = []
        for o in left:
            key = (o.type.upper(), key_of_before(o))
            js = [j for j in names.get(key, []) if j not in used]
            if key[1] is not None and js:
                used.add(js[0])
                pairs.append((o, after[js[0]]))
            else:
                still.append(o)
        left = still
    # The rest by position among the objects of their type; an object whose
    # handle is gone is missing, whatever took its place.
    queues = {}
    for j in range(len(after)):
        if j not in used:
            queues.setdefault(after[j].type.upper(), []).append(j)
    taken = {kind: 0 for kind in queues}
    for o in left:
        kind = o.type.upper()
        queue = queues.get(kind, [])
        if by_handle and o.handle() is not None:
            missing.append(o)
        elif taken.get(kind, 0) < len(queue):
            j = queue[taken[kind]]
            taken[kind] += 1
            used.add(j)
            pairs.append((o, after[j]))
        else:
            missing.append(o)
    added = [after[j] for j in range(len(after)) if j not in used]
    return pairs, missing, added


# -- comparing -----------------------------------------------------------------


class Comparison:
    def __init__(self, before, after):
        self.a = before
        self.b = after
        self.differences = []
        self.handle_map = {}
        self.current_type = ""
        self.legacy = before.version < "AC1015"
        # A file before AC1015 is saved as AC1015, with what that version needs.
        self.upgraded = self.legacy and after.version >= "AC1015"
        self.new_handles = not before.has_handles or self.upgraded

    def say(self, where, text):
        self.differences.append("%s: %s" % (where, text))

    # values

    def same_value(self, code, x, y):
        # An object's own handle must stay as it was, whatever its spelling; a
        # dimension style's 5 is a block name.
        if code == 105 or (code == 5 and self.current_type != "DIMSTYLE"):
            return _handle(x) == _handle(y)
        kind = value_kind(code)
        if kind == "s":
            return _text(x) == _text(y)
        if kind == "h":
            hx, hy = _handle(x), _handle(y)
            return self.handle_map.get(hx, hx) == hy
        if kind == "r":
            try:
                fx, fy = float(x), float(y)
            except ValueError:
                return x.strip() == y.strip()
            if math.isnan(fx) or math.isnan(fy):
                return x.strip() == y.strip()
            return math.isclose(fx, fy, rel_tol=1e-12, abs_tol=1e-12)
        if kind == "b":
            return x.strip().upper() == y.strip().upper()
        try:
            return int(x.strip()) == int(y.strip())
        except ValueError:
            try:
                return float(x) == float(y)
            except ValueError:
                return x.strip() == y.strip()

    # objects

    def segments(self, obj):
        """The object's groups in parts: ("", 0) its own groups, one part per
        102 group ("{NAME", i) and one per application's extended data
        ("1001 NAME", i); and its subclass markers (100) in order. A group
        counts as the object's wherever it stands among the markers: some
        programs put the common groups under a later marker, and the host
        puts them where they belong."""
        parts, order, markers = {}, [], []
        seen = {}

        def start(key):
            n = seen.get(key, 0)
            seen[key] = n + 1
            k = (key, n)
            parts[k] = []
            order.append(k)
            return k

        main = current = start("")
        in_brace = False
        in_xdata = False
        for code, value, line in obj.groups:
            if code == 1001:
                in_xdata = True
                current = start("1001 " + value.strip())
                continue
            if in_xdata:
                parts[current].append((code, value, line))
                continue
            if code == 102:
                word = value.strip()
                if word.startswith("{") and not in_brace:
                    in_brace = True
                    current = start(word.upper())
                    continue
                if word == "}" and in_brace:
                    current, in_brace = main, False
                    continue
            if code == 100 and not in_brace:
                markers.append(value.strip())
                continue
            parts[current].append((code, value, line))
        return parts, order, markers

    def compare_groups(self, where, code_owner, xs, ys, ordered):
        """Groups of one part. In extended data every group keeps its place;
        elsewhere each code keeps the order of its own groups."""
        if ordered:
            n = max(len(xs), len(ys))
            for i in range(n):
                if i >= len(xs):
                    self.say(where, "group %d %r added" % (ys[i][0], ys[i][1]))
                elif i >= len(ys):
                    self.say(where, "group %d %r is missing" % (xs[i][0], xs[i][1]))
                elif xs[i][0] != ys[i][0] or not self.same_value(xs[i][0], xs[i][1], ys[i][1]):
                    self.say(where, "group %d %r is now %d %r" % (xs[i][0], xs[i][1], ys[i][0], ys[i][1]))
            return
        by_x, by_y = {}, {}
        for c, v, _ in xs:
            by_x.setdefault(c, []).append(v)
        for c, v, _ in ys:
            by_y.setdefault(c, []).append(v)
        for code in sorted(set(by_x) | set(by_y)):
            if code_owner(code):
                continue
            vx, vy = by_x.get(code, []), by_y.get(code, [])
            for i in range(max(len(vx), len(vy))):
                if i >= len(vx):
                    if code in (5, 105) and self.new_handles:
                        continue
                    self.say(where, "group %d %r added" % (code, vy[i]))
                elif i >= len(vy):
                    self.say(where, "group %d %r is missing" % (code, vx[i]))
                elif not self.same_value(code, vx[i], vy[i]):
                    self.say(where, "group %d %r is now %r" % (code, vx[i], vy[i]))

    def compare_object(self, where, x, y, skip=()):
        self.current_type = x.type.upper()
        px, ox, mx = self.segments(x)
        py, oy, my = self.segments(y)
        # Markers an object lacked are what the save adds to it.
        if mx != my and mx:
            self.say(where, "subclass markers %s are now %s" % (mx, my))
        for key in ox:
            name = key[0]
            if name == "{ACAD_REACTORS":
                continue
            label = where if name == "" else "%s [%s%s]" % (where, name, "" if key[1] == 0 else " #%d" % (key[1] + 1))
            if key not in py:
                self.say(label, "missing")
                continue
            # Owners are assigned anew; handles given to what had none are bookkeeping.
            owner_part = name == ""
            skipped = lambda code: code in skip or (owner_part and code == 330) or (
                code in (5, 105) and (not self.a.has_handles or (self.upgraded and x.handle() is None)))
            self.compare_groups(label, skipped, px[key], py[key], ordered=name.startswith("1001 "))
        for key in oy:
            if key not in px and key[0] != "{ACAD_REACTORS":
                self.say(where, "%s added" % (key[0] if key[1] == 0 else "%s #%d" % (key[0], key[1] + 1)))

    def describe(self, section, o):
        text = "%s %s" % (section, o.type)
        name = o.name()
        if name:
            text += " %r" % name
        h = o.handle()
        if h is not None:
            text += " (handle %s)" % h
        else:
            text += " (line %d)" % o.line
        return text

    def learn_handles(self, pairs):
        for x, y in pairs:
            hx, hy = x.handle(), y.handle()
            if hx is not None and hy is not None:
                self.handle_map[hx] = hy

    # sections

    def header(self):
        for name in self.a.header_order:
            if name == "$HANDSEED" or (name == "$ACADVER" and self.upgraded):
                continue
            if name not in self.b.header:
                self.say("HEADER %s" % name, "missing")
                continue
            self.current_type = "HEADER"
            self.compare_groups("HEADER %s" % name, lambda c: False, self.a.header[name], self.b.header[name], True)

    def objects(self, section, xs, ys, keep_order):
        pairs, missing, added = _match(xs, ys, lambda o: o.name(), by_handle=self.a.has_handles)
        return pairs, missing, added

    def report_unmatched(self, section, missing, added):
        for o in missing:
            self.say(self.describe(section, o), "missing")
        for o in added:
            if section == "TABLES" and o.type in ("TABLE", "ENDTAB"):
                continue
            self.say(self.describe(section, o), "added (not in the source file)")

    def tables(self):
        def split(objects):
            tables, current = {}, None
            for o in objects:
                if o.type.upper() == "TABLE":
                    name = (o.first(2) or "").strip().upper()
                    current = tables.setdefault(name, {"head": o, "records": []})
                elif o.type.upper() == "ENDTAB":
                    current = None
                elif current is not None:
                    current["records"].append(o)
            return tables

        ta, tb = split(self.a.section("TABLES")), split(self.b.section("TABLES"))
        work = []
        for name, table in ta.items():
            if name not in tb:
                self.say("TABLES %s" % name, "the table is missing")
                continue
            other = tb[name]
            pairs, missing, added = self.objects("TABLES", table["records"], other["records"], False)
            self.learn_handles(pairs + [(table["head"], other["head"])])
            counts = (70, 71) if name == "DIMSTYLE" else (70,)
            work.append(("TABLE %s head" % name, table["head"], other["head"], counts))
            work += [(self.describe("TABLES", x), x, y, ()) for x, y in pairs]
            self.report_unmatched("TABLES", missing, added)
        for name in tb:
            if name not in ta and not (name == "BLOCK_RECORD" and self.upgraded):
                self.say("TABLES %s" % name, "a table added")
        return work

    def blocks(self):
        def split(objects):
            blocks, order, current = {}, [], None
            for o in objects:
                kind = o.type.upper()
                if kind == "BLOCK":
                    key = (o.name() or "").upper()
                    if key in ("$MODEL_SPACE", "$PAPER_SPACE"):
                        key = "*" + key[1:]
                    n = 0
                    while (key, n) in blocks:
                        n += 1
                    current = {"begin": o, "end": None, "entities": []}
                    blocks[(key, n)] = current
                    order.append((key, n))
                elif kind == "ENDBLK":
                    if current is not None:
                        current["end"] = o
                    current = None
                elif current is not None:
                    current["entities"].append(o)
            return blocks, order

        (ba, order), (bb, _) = split(self.a.section("BLOCKS")), split(self.b.section("BLOCKS"))
        work = []
        for key in order:
            where = "BLOCKS %r" % key[0] if key[1] == 0 else "BLOCKS %r #%d" % (key[0], key[1] + 1)
            if key not in bb:
                self.say(where, "the block is missing")
                continue
            x, y = ba[key], bb[key]
            self.learn_handles([(x["begin"], y["begin"])])
            # The layout blocks of a file before AC1015 are named anew as AC1015 names them.
            renamed = (2, 3) if self.upgraded and key[0].startswith("*") else ()
            work.append((where + " BLOCK", x["begin"], y["begin"], renamed))
            if x["end"] is not None and y["end"] is not None:
                self.learn_handles([(x["end"], y["end"])])
                work.append((where + " ENDBLK", x["end"], y["end"], ()))
            work += self.entity_list(where, x["entities"], y["entities"])
        for key in bb:
            if key not in ba:
                self.say("BLOCKS %r" % key[0], "a block added")
        return work

    def entity_list(self, where, xs, ys):
        pairs, missing, added = _match(xs, ys, lambda o: None, by_handle=self.a.has_handles, by_name=False)
        self.learn_handles(pairs)
        for o in missing:
            self.say("%s %s" % (where, self.describe("", o).strip()), "the entity is missing")
        for o in added:
            self.say("%s %s" % (where, self.describe("", o).strip()), "an entity added")
        # Entities keep their order in their block or space.
        position = {id(y): i for i, y in enumerate(ys)}
        source = {id(x): i for i, x in enumerate(xs)}
        seq = [position[id(y)] for _, y in sorted(pairs, key=lambda p: source[id(p[0])])]
        if seq != sorted(seq):
            self.say(where, "the entities' order changed")
        return [("%s %s" % (where, self.describe("", x).strip()), x, y, ()) for x, y in pairs]

    def keyed_section(self, name):
        xs, ys = self.a.section(name), self.b.section(name)
        key = (lambda o: (o.first(1) or "").strip().upper()) if name == "CLASSES" else (lambda o: None)
        pairs, missing, added = _match(xs, ys, key, by_handle=self.a.has_handles and name != "CLASSES",
                                       by_name=name == "CLASSES")
        self.learn_handles(pairs)
        self.report_unmatched(name, missing, added)
        return [(self.describe(name, x), x, y, ()) for x, y in pairs]

    def run(self):
        self.header()
        work = self.tables() + self.blocks()
        work += self.entity_list("ENTITIES", self.a.section("ENTITIES"), self.b.section("ENTITIES"))
        for name in self.a.section_order:
            if name in ("HEADER", "TABLES", "BLOCKS", "ENTITIES"):
                continue
            if name not in self.b.sections:
                self.say(name, "the section is missing")
                continue
            work += self.keyed_section(name)
        for name in self.b.section_order:
            if name not in self.a.sections and not (self.upgraded and name in ("CLASSES", "OBJECTS")):
                self.say(name, "a section added")
        # Pointers are compared once every matched object's handle is known.
        for where, x, y, skip in work:
            self.compare_object(where, x, y, skip)
        return self.differences


def compare_files(before, after):
    """Every difference between the source file and the saved one, beyond the
    bookkeeping listed in BOOKKEEPING, as texts naming where each lies."""
    return Comparison(Dxf(before), Dxf(after)).run()


def main(argv):
    if len(argv) != 3:
        print("usage: dxf_groups.py SOURCE.dxf SAVED.dxf", file=sys.stderr)
        return 2
    try:
        differences = compare_files(argv[1], argv[2])
    except Unreadable as error:
        print(error)
        return 2
    for line in differences:
        print(line)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
