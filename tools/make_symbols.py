#!/usr/bin/env python3
"""Writes the installed survey symbols: one block drawing per symbol under
install/drawing/symbol (DXF text, as the host saves it) and the symbol list
install/data/Symboldata.bin.

    python3 tools/make_symbols.py build/bin/cadhost

Each block is drawn at its size on a 1:1000 plan, in metres, round the
insertion point, on a layer of its own (the layer of its first entity is the
layer the symbol goes on). The shapes look the same after a quarter turn, so a
symbol reads the same whatever rotation it is placed at. A symbol with a label
carries the label as "TARNIC" extended data on its first entity. The host
writes each drawing in its own form (OPEN of a plain DXF, then SAVEAS).
"""
import math
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "install", "exe_file"))
import symbol_list  # noqa: E402


def circle(layer, r, x=0.0, y=0.0):
    return ("CIRCLE", layer, [(10, x), (20, y), (30, 0.0), (40, r)])


def line(layer, x1, y1, x2, y2):
    return ("LINE", layer, [(10, x1), (20, y1), (30, 0.0), (11, x2), (21, y2), (31, 0.0)])


def square(layer, half):
    corners = [(-half, -half), (half, -half), (half, half), (-half, half)]
    groups = [(90, 4), (70, 1)]
    for x, y in corners:
        groups += [(10, x), (20, y)]
    return ("LWPOLYLINE", layer, groups)


def rays(layer, r1, r2, angles):
    return [line(layer, r1 * math.cos(a), r1 * math.sin(a), r2 * math.cos(a), r2 * math.sin(a)) for a in angles]


AXES = [0, math.pi / 2, math.pi, 3 * math.pi / 2]
DIAGONALS = [math.pi / 4 + a for a in AXES]

# name, layer, colour, label, entities, list fields
SYMBOLS = [
    ("TREE", "SYM_TREE", 3, "TR", lambda l: [circle(l, 1.0)] + rays(l, 0.0, 0.3, AXES),
     dict(code="TR", desc="Tree", command="SYMBOL1", group="Vegetation")),
    ("SHRUB", "SYM_SHRUB", 3, None, lambda l: [circle(l, 0.6), circle(l, 0.3)],
     dict(code="SH", desc="Shrub", command="INSERT", group="Vegetation")),
    ("HEDGE", "SYM_HEDGE", 3, None, lambda l: [circle(l, 0.5)],
     dict(code="HG", desc="Hedge", command="SYMBOL3", group="Vegetation", spacing=2000, gap=500, box=1500,
          line="HEDGE")),
    ("EPOLE", "SYM_EPOLE", 1, "EP", lambda l: [circle(l, 0.4), circle(l, 0.1)],
     dict(code="EP", desc="Electric pole", command="SYMBOL2", group="Utilities")),
    ("TPOLE", "SYM_TPOLE", 5, "TP", lambda l: [square(l, 0.4), circle(l, 0.15)],
     dict(code="TP", desc="Telephone pole", command="SYMBOL2", group="Utilities")),
    ("LAMP", "SYM_LAMP", 2, "LP", lambda l: [circle(l, 0.5)] + rays(l, 0.5, 0.9, AXES),
     dict(code="LP", desc="Lamp post", command="INSERT", group="Utilities")),
    ("MH", "SYM_MH", 6, "MH", lambda l: [square(l, 0.6), circle(l, 0.45)],
     dict(code="MH", desc="Manhole", command="SYMBOL1", group="Drainage")),
    ("HYDRANT", "SYM_HYDRANT", 1, "FH", lambda l: [circle(l, 0.5)] + rays(l, 0.0, 0.5, DIAGONALS),
     dict(code="FH", desc="Fire hydrant", command="INSERT", group="Utilities")),
    ("BM", "SYM_BM", 4, "BM", lambda l: [circle(l, 0.6)] + rays(l, 0.0, 0.8, AXES),
     dict(code="BM", desc="Bench mark", command="SYMBOL1", group="Control")),
    ("FENCE", "SYM_FENCE", 8, None, lambda l: rays(l, 0.0, 0.3, DIAGONALS),
     dict(code="FN", desc="Fence", command="SYMBOL3", group="Boundaries", spacing=5000, gap=300, box=0,
          line="FENCE_LN")),
]
# Blocks that only name a layer: the line between SYMBOL3 symbols.
LINE_BLOCKS = [("FENCE_LN", "FENCE_LINE", 8, lambda l: [line(l, -1.0, 0.0, 1.0, 0.0)])]


def dxf_text(layer, colour, label, entities):
    out = ["0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015",
           "9", "$INSBASE", "10", "0.0", "20", "0.0", "30", "0.0", "0", "ENDSEC",
           "0", "SECTION", "2", "TABLES",
           "0", "TABLE", "2", "LAYER", "70", "1",
           "0", "LAYER", "2", layer, "70", "0", "62", str(colour), "6", "CONTINUOUS", "0", "ENDTAB",
           "0", "TABLE", "2", "APPID", "70", "1",
           "0", "APPID", "2", "TARNIC", "70", "0", "0", "ENDTAB",
           "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"]
    for i, (kind, on_layer, groups) in enumerate(entities):
        out += ["0", kind, "8", on_layer]
        for code, value in groups:
            out += [str(code), "%.6f" % value if isinstance(value, float) else str(value)]
        if i == 0 and label:
            out += ["1001", "TARNIC", "1000", label]
    out += ["0", "ENDSEC", "0", "EOF"]
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_symbols.py PATH_OF_CADHOST\n")
        return 2
    cadhost = argv[1]
    blocks = os.path.join(ROOT, "install", "drawing", "symbol")
    data = os.path.join(ROOT, "install", "data")
    os.makedirs(blocks, exist_ok=True)
    os.makedirs(data, exist_ok=True)
    drawings = [(name, layer, colour, label, shape) for name, layer, colour, label, shape, _ in SYMBOLS]
    drawings += [(name, layer, colour, None, shape) for name, layer, colour, shape in LINE_BLOCKS]
    with tempfile.TemporaryDirectory() as work:
        script = []
        for name, layer, colour, label, shape in drawings:
            plain = os.path.join(work, name + ".dxf")
            with open(plain, "w") as f:
                f.write(dxf_text(layer, colour, label, shape(layer)))
            script += ["OPEN " + plain, "SAVEAS " + os.path.join(blocks, name + ".dwg"), "CLOSE"]
        with open(os.path.join(work, "make.scr"), "w") as f:
            f.write("\n".join(script) + "\n")
        env = dict(os.environ, CADHOST_HOME=work)
        subprocess.run([cadhost, "--script", os.path.join(work, "make.scr")], check=True, env=env)
    symbols = []
    for name, _, _, _, _, fields in SYMBOLS:
        record = dict(fields, name=name, block="drawing\\symbol\\%s.dwg" % name, version="V2")
        symbols.append(record)
    symbol_list.write(os.path.join(data, "Symboldata.bin"), symbols)
    print("%d symbol drawings and %s" % (len(drawings), os.path.join(data, "Symboldata.bin")))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
