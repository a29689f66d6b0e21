#!/usr/bin/python3
"""How much of a drawing file OPEN then SAVE gives back, measured on outside
drawings and on drawings ezdxf writes in every version.

    python3 tools/dxf_keep_report.py [--corpus DIR] [--cadhost PATH] [--all]

Each file is copied to a scratch folder, opened and saved over itself by the
host (build/bin/cadhost, one session per file), and compared with the file it
came from by tests/dxf/dxf_groups.py, which leaves out only the bookkeeping
the README lists. The outside drawings are those of ../shared/dxf-corpus
beside the checkout; the ezdxf drawings are tests/dxf/dxf_kinds.py's, written
in R12, R2000, R2004, R2007, R2010, R2013 and R2018.

Printed: for each set, the files that open and the files that come back with
no difference beyond bookkeeping; then every remaining difference with its
cause, file by file (differences of one cause in one file are shown once with
their count unless --all is given); and a count by cause.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "dxf"))

import dxf_groups  # noqa: E402
import dxf_kinds  # noqa: E402

# What makes each kind of difference, by the difference's text. The first that
# matches names it.
CAUSES = [
    (r"BLOCKS '\*(MODEL|PAPER)_SPACE' (BLOCK|ENDBLK): group \d+ '.*' added",
     "groups the layout blocks' BLOCK and ENDBLK need that the file left out (layer, base point, flags, path, the "
     "paper-space mark 67 1), added"),
    (r"LWPOLYLINE.*: group 30 .* is missing",
     "an LWPOLYLINE vertex has no z of its own (its elevation is group 38): a 30 the file gave a vertex is not "
     "written"),
    (r"ENTITIES|BLOCKS '.*' (?!BLOCK:|ENDBLK:)\w+ .*: group 3[0-9] '[-0.]*' added",
     "the host writes points in 3D: a z of 0 is added to a point the file gave in 2D"),
    (r"BLOCKS .* (BLOCK|ENDBLK): group 3[0-9] '[-0.]*' added",
     "the host writes points in 3D: a z of 0 is added to a block's base point given in 2D"),
    (r"ENTITIES .*: group (8|10|20) '(0|0\.0)' added",
     "groups an entity needs (layer, first point) that the file left out, added with their defaults"),
    (r"TABLES (LTYPE|STYLE|LAYER) .*: group \d+ '.*' added",
     "groups a table record needs that the file left out, added with their defaults"),
    (r"TABLES \w+: a table added", "a table the format needs that the file lacked, added"),
    (r"^\w+: a section added", "a section the format needs that the file lacked, added"),
    (r"BLOCKS '\*(MODEL|PAPER)_SPACE': a block added",
     "the layout blocks the format needs, added to a file that lacked them"),
    (r"TABLES (VPORT|LTYPE|DIMSTYLE|LAYER) .*added \(not in the source file\)",
     "records the format or the file's entities need (the active viewport, a line type, a dimension style, a layer "
     "an entity names), added where the file lacked them"),
    (r"TABLES VPORT '\*ACTIVE'", "the viewport of a file before AC1015 is left out (SAVE says so); the host's own is "
     "written"),
    (r"TABLES BLOCK_RECORD '\*(MODEL|PAPER)_SPACE'.*group 2 ",
     "the layout block records are named *Model_Space and *Paper_Space as AC1015 names them"),
    (r"OBJECTS|TABLES BLOCK_RECORD '\*(MODEL|PAPER)_SPACE'.*group 340",
     "the objects of a file before AC1015 or without layouts are written as AC1015 needs them, with the host's "
     "own dictionaries and layouts (SAVE says so)"),
    (r"HEADER \$DWGCODEPAGE", "a code page the host does not know is written as ANSI_1252"),
    (r"BLOCKS .* (BLOCK|ENDBLK): group 48 ", "a block entity's line type scale (48) is not kept"),
    (r"HATCH.*: group 97 ", "a hatch's links to its source boundary objects are not kept (the count 97 becomes 0)"),
    (r"TABLE DIMSTYLE head: subclass markers",
     "the DIMSTYLE table's head gets the subclass marker AC1015 needs"),
]


def cause_of(difference):
    for pattern, cause in CAUSES:
        if re.search(pattern, difference):
            return cause
    return "not yet explained"


def open_and_save(cadhost, home, source, work):
    """Copies the file into work, opens and saves it there; (opened, saved,
    the copy's path, the session's transcript)."""
    copy = os.path.join(work, os.path.basename(source))
    shutil.copyfile(source, copy)
    script = copy + ".scr"
    with open(script, "w") as f:
        f.write("OPEN %s\nSAVE\n" % copy)
    try:
        run = subprocess.run([cadhost, "--home", home, "--script", script], capture_output=True, timeout=300)
        transcript = (run.stdout + run.stderr).decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        transcript = "the session did not end within 300 s"
    return 'Opened "' in transcript, 'Saved "' in transcript, copy, transcript


def measure(title, files, cadhost, scratch, show_all):
    home = os.path.join(scratch, "home")
    os.makedirs(home, exist_ok=True)
    opened = same = 0
    by_cause = {}
    lines = []
    for index, (label, source) in enumerate(files):
        work = os.path.join(scratch, "work", "%04d" % index)
        os.makedirs(work, exist_ok=True)
        did_open, did_save, copy, transcript = open_and_save(cadhost, home, source, work)
        if not did_open:
            lines.append("  %s: does not open: %s" % (label, transcript.strip().splitlines()[-1:]))
            continue
        opened += 1
        if not did_save:
            lines.append("  %s: opens but is not saved: %s" % (label, transcript.strip().splitlines()[-1:]))
            continue
        try:
            differences = dxf_groups.compare_files(source, copy)
        except dxf_groups.Unreadable as error:
            lines.append("  %s: cannot be compared: %s" % (label, error))
            continue
        if not differences:
            same += 1
            continue
        lines.append("  %s: %d differences" % (label, len(differences)))
        shown = {}
        for difference in differences:
            cause = cause_of(difference)
            by_cause.setdefault(cause, [0, set()])
            by_cause[cause][0] += 1
            by_cause[cause][1].add(label)
            shown.setdefault(cause, []).append(difference)
        for cause, items in shown.items():
            lines.append("    cause: %s" % cause)
            for item in items if show_all else items[:1]:
                lines.append("      %s" % item)
            if not show_all and len(items) > 1:
                lines.append("      ... and %d more of this cause" % (len(items) - 1))
    print("%s: %d files, %d open, %d come back with no difference beyond bookkeeping" %
          (title, len(files), opened, same))
    print("\n".join(lines))
    return by_cause


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--corpus", default=os.path.join(ROOT, "..", "shared", "dxf-corpus"))
    parser.add_argument("--cadhost", default=os.path.join(ROOT, "build", "bin", "cadhost"))
    parser.add_argument("--all", action="store_true", help="print every difference, not one of each cause a file")
    args = parser.parse_args(argv[1:])
    if not os.access(args.cadhost, os.X_OK):
        print("no host program at %s: build it first (cmake --build build --target cadhost_cli)" % args.cadhost)
        return 2
    scratch = tempfile.mkdtemp(prefix="dxf_keep_")
    try:
        corpus = []
        for folder, _, names in sorted(os.walk(args.corpus)):
            for name in sorted(names):
                if name.lower().endswith(".dxf"):
                    path = os.path.join(folder, name)
                    corpus.append((os.path.relpath(path, args.corpus), path))
        written = dxf_kinds.write_all(os.path.join(scratch, "ezdxf"), dxf_kinds.VERSIONS)
        drawn = [(os.path.basename(path), path) for path in written]
        totals = {}
        for title, files in (("Outside drawings (%s)" % os.path.normpath(args.corpus), corpus),
                             ("Drawings ezdxf writes, %s" % " ".join(dxf_kinds.VERSIONS), drawn)):
            for cause, (count, labels) in measure(title, files, args.cadhost, os.path.join(scratch, title[:7]),
                                                  args.all).items():
                total = totals.setdefault(cause, [0, set()])
                total[0] += count
                total[1] |= labels
            print()
        print("Remaining differences by cause (differences, files):")
        for cause, (count, labels) in sorted(totals.items(), key=lambda item: -len(item[1][1])):
            print("  %6d in %3d files: %s" % (count, len(labels), cause))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
