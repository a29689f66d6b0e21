#!/usr/bin/env python3
"""Makes README's performance table from the JSON of orvik_bench runs.

Usage: perf_table.py README.md run.json [run.json ...]

The table goes between the lines "<!-- perf-table -->" and "<!-- /perf-table -->"
of README.md; the rest of the file stays as it is. A benchmark met in several
runs keeps its last figure, so a run of the largest sizes of its own may follow
the run of the smaller ones.
"""
import json
import math
import re
import sys

BEGIN, END = "<!-- perf-table -->", "<!-- /perf-table -->"

# Growth per doubling of the size up to which time counts as linear (noise,
# caches and the odd n log n step of a sort stay under it; a square would give 4).
LINEAR = 2.5
# Time at the largest size over time at the smallest up to which a cost counts
# as not growing with the drawing (over sizes 100 times apart, a cost that grew
# even as the square root of the size would take 10 times as long).
FLAT = 2.0

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(paths):
    """{name: {size: record}} of the runs, with "seconds" the time of one iteration."""
    figures = {}
    context = None
    for path in paths:
        with open(path) as f:
            run = json.load(f)
        context = context or run.get("context", {})
        for record in run["benchmarks"]:
            if record.get("run_type") != "iteration" or record.get("error_occurred"):
                continue
            parts = record["run_name"].split("/")
            record["seconds"] = record["real_time"] * UNIT_SECONDS[record["time_unit"]]
            figures.setdefault(parts[0], {})[int(parts[1])] = record
    return figures, context


def size_text(n):
    if n >= 1000000 and n % 1000000 == 0:
        return f"{n // 1000000}M"
    if n >= 1000 and n % 1000 == 0:
        return f"{n // 1000}k"
    if n >= 1000 and n % 100 == 0:
        return f"{n / 1000:.1f}k"
    return str(n)


def time_text(seconds):
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.3g} ms"
    return f"{seconds * 1e6:.3g} µs"


def series(figures, name, value=lambda r: time_text(r["seconds"])):
    runs = figures.get(name, {})
    if not runs:
        return "not run"
    return " · ".join(f"{size_text(n)}: {value(r)}" for n, r in sorted(runs.items()))


def growth(figures, name):
    """Time multiplied by this when the size doubles, between the two largest sizes run."""
    runs = sorted(figures.get(name, {}).items())
    if len(runs) < 2:
        return None
    (n1, r1), (n2, r2) = runs[-2], runs[-1]
    return (r2["seconds"] / r1["seconds"]) ** (math.log(2) / math.log(n2 / n1))


def growth_text(value):
    return "—" if value is None else f"×{value:.2f}"


def verdict(ok, how):
    if ok is None:
        return "not measured"
    return ("**met**" if ok else "**not met**") + (f" ({how})" if how else "")


def at(figures, name, n, key="seconds"):
    record = figures.get(name, {}).get(n)
    return None if record is None else record.get(key)


def largest(figures, name):
    runs = figures.get(name, {})
    return max(runs) if runs else None


def linear_row(figures, path, before, name, goal="doubling the size doubles the time"):
    g = growth(figures, name)
    return [path, before, series(figures, name), growth_text(g), goal,
            verdict(None if g is None else g <= LINEAR, "")]


def flat_row(figures, path, before, name, goal):
    g = growth(figures, name)
    runs = figures.get(name, {})
    spread = None
    if len(runs) >= 2:
        sizes = sorted(runs)
        spread = runs[sizes[-1]]["seconds"] / runs[sizes[0]]["seconds"]
    how = "" if spread is None else f"{size_text(max(runs))} vs {size_text(min(runs))}: ×{spread:.2f}"
    return [path, before, series(figures, name), growth_text(g), goal,
            verdict(None if spread is None else spread <= FLAT, how)]


def rows(figures):
    out = []
    big = 1000000

    # The terrain path against scipy's triangulation of the same points.
    path_1m, scipy_1m = at(figures, "BM_TerrainPath", big), at(figures, "BM_ScipyDelaunay", big)
    ratio = None if path_1m is None or scipy_1m is None else path_1m / scipy_1m
    peak_1m = at(figures, "BM_TerrainPath", big, "peak_MB")
    start_1m = at(figures, "BM_TerrainPath", big, "start_MB")
    g = growth(figures, "BM_TerrainPath")
    out.append(["OPEN n POINTs, TIN (select ALL), contours, SAVEAS",
                "1M: 110–115 s; 200k: 7.4 s", series(figures, "BM_TerrainPath"), growth_text(g),
                "linear", verdict(None if g is None else g <= LINEAR, "")])
    out.append(["scipy.spatial.Delaunay alone, same points, same run", "1M: 13.5 s; 200k: 1.7 s",
                series(figures, "BM_ScipyDelaunay"), growth_text(growth(figures, "BM_ScipyDelaunay")),
                "—", "—"])
    ratios = []
    for n in sorted(figures.get("BM_TerrainPath", {})):
        p, s = at(figures, "BM_TerrainPath", n), at(figures, "BM_ScipyDelaunay", n)
        if p is not None and s is not None:
            ratios.append(f"{size_text(n)}: {p / s:.2f}")
    out.append(["terrain path ÷ scipy", "1M: 110–115 s vs 13.5 s; 200k: 4.4",
                " · ".join(ratios) or "not run", "—", "at 1M within 1.5× scipy",
                verdict(None if ratio is None else ratio <= 1.5, "" if ratio is None else f"{ratio:.2f}×")])
    peaks = series(figures, "BM_TerrainPath", lambda r: f"{r['peak_MB']:.0f} MB")
    out.append(["peak memory of the terrain path", "1M: 2.98 GB", peaks, "—", "at 1M under 1.2 GB",
                verdict(None if peak_1m is None else peak_1m < 1200,
                        "" if peak_1m is None
                        else f"{peak_1m / 1000:.2f} GB, of which {start_1m:.0f} MB held before")])

    # The duplicated-points check.
    dup = at(figures, "BM_DuplicatedPoints", 100000)
    g = growth(figures, "BM_DuplicatedPoints")
    out.append(["duplicated-points check over ALL", "2.5k: 1.5 s; 10k: 23 s",
                series(figures, "BM_DuplicatedPoints"), growth_text(g), "100k under 2 s",
                verdict(None if dup is None else dup < 2, "" if dup is None else time_text(dup))])

    out.append(flat_row(figures, "one breakline piece (a LINE) into a TIN of n points",
                        "100k: 0.27 s per piece", "BM_BreaklinePiece", "independent of the TIN's size"))

    # bpoly beside unrelated lines.
    bp = at(figures, "BM_BpolyPick", 100000)
    g = growth(figures, "BM_BpolyPick")
    out.append(["bpoly pick inside a lot, beside n unrelated segments", "2k: 0.07 s; 16k: 1.5 s; 48k: 9.5 s",
                series(figures, "BM_BpolyPick"), growth_text(g), "under 50 ms beside 100k",
                verdict(None if bp is None else bp < 0.05, "" if bp is None else time_text(bp))])

    # The point import against a plain parse of the file.
    imp, parse = at(figures, "BM_ImportXyz", big), at(figures, "BM_XyzPlainParse", big)
    g = growth(figures, "BM_ImportXyz")
    peaks = series(figures, "BM_ImportXyz", lambda r: f"{r['peak_MB']:.0f} MB")
    out.append(["b_import_xyz of n points (POINT, number and level texts)", "1M: 27 s, 1.9 GB",
                series(figures, "BM_ImportXyz") + "; peak " + peaks, growth_text(g), "linear",
                verdict(None if g is None else g <= LINEAR, "")])
    ratios = []
    for n in sorted(figures.get("BM_ImportXyz", {})):
        i, p = at(figures, "BM_ImportXyz", n), at(figures, "BM_XyzPlainParse", n)
        if i is not None and p is not None:
            ratios.append(f"{size_text(n)}: {i / p:.1f}×")
    out.append(["plain parse of the same file by the import's reader", "1M: 1.1 s (a Python parse)",
                series(figures, "BM_XyzPlainParse"), growth_text(growth(figures, "BM_XyzPlainParse")), "—", "—"])
    out.append(["b_import_xyz ÷ plain parse", "1M: 27 s vs 1.1 s", " · ".join(ratios) or "not run", "—",
                "within 5× the plain parse",
                verdict(None if imp is None or parse is None else imp / parse <= 5,
                        "" if imp is None or parse is None else f"1M: {imp / parse:.1f}×")])

    # OPEN of the drawing the import saved.
    def speed(r):
        return f"{r['bytes_per_second'] / 1e6:.0f} MB/s"
    opens = figures.get("BM_OpenImported", {})
    slowest = min((r["bytes_per_second"] for r in opens.values()), default=None)
    top = largest(figures, "BM_OpenImported")
    big_open = ""
    if top is not None:
        r = opens[top]
        big_open = f"; {size_text(top)}: {r['file_MB']:.0f} MB file in {time_text(r['seconds'])}, peak {r['peak_MB']:.0f} MB"
    out.append(["OPEN of the DXF the import saved", "404 MB: 40 s, 4.7 GB",
                series(figures, "BM_OpenImported", speed) + big_open,
                growth_text(growth(figures, "BM_OpenImported")), "100 MB/s or more",
                verdict(None if slowest is None else slowest >= 100e6,
                        "" if slowest is None else f"slowest {slowest / 1e6:.0f} MB/s")])
    out.append(["SAVEAS of that drawing", "—", series(figures, "BM_SaveImported", speed),
                growth_text(growth(figures, "BM_SaveImported")), "linear",
                verdict(None if growth(figures, "BM_SaveImported") is None
                        else growth(figures, "BM_SaveImported") <= LINEAR, "")])

    # A traverse of n legs in b_trav: opened, listed and plotted.
    before = "20k: about 1 s; 40k: 3–6 s; 100k: over a minute"
    out.append(linear_row(figures, "b_trav: a traverse file of n legs opened (read, computed, drawn)", before,
                          "BM_TraverseOpen"))
    out.append(linear_row(figures, "b_trav: opened and listed (Prn: routes, computation, stations)", before,
                          "BM_TraverseOpenPrint"))
    out.append(linear_row(figures, "b_trav: opened and plotted (Save to Dwg: lines, labels, numbers)", before,
                          "BM_TraverseOpenPlot"))

    # Tables, blocks, registry, selections.
    out.append(linear_row(figures, "n nested blocks by acdbEntMake, SAVEAS, OPEN",
                          "20 000 nested blocks: 6–16 s", "BM_NestedBlocks"))
    out.append(linear_row(figures, "n layers made, each searched", "—", "BM_LayerTable"))
    out.append(linear_row(figures, "a session's registry work on a file of n lines",
                          "8 000 lines: 7.8 s per session", "BM_RegistrySession"))
    out.append(linear_row(figures, 'selection "ALL" of n entities', "—", "BM_SelectAll"))
    out.append(linear_row(figures, 'ssget "X" with a type and layer filter', "—", "BM_SsgetXFiltered"))
    for mode, name in (("window", "BM_SelectWindow"), ("crossing", "BM_SelectCrossing"),
                       ("fence", "BM_SelectFence"), ("pick", "BM_SelectPick")):
        out.append(flat_row(figures, f"selection by {mode} over a small part of n entities", "—", name,
                            "from the index: independent of the drawing's size"))
    return out


def table(figures, context):
    header = ["Path a user runs", "Before (issue)", "Now", "×2 size", "Goal", "Met"]
    lines = [
        f"Measured {context.get('date', '')[:10]} on {context.get('num_cpus', '?')} CPUs at "
        f"{context.get('mhz_per_cpu', '?')} MHz by `tools/perf_table.sh` (Release build, one process "
        "per 1M run). \"×2 size\" is the time multiplied when the size doubles, between the two largest "
        f"sizes run: ×2 is linear, ×4 a square; up to ×{LINEAR} counts as linear. A cost counts as not "
        f"growing when the largest size takes at most {FLAT:g} times as long as the smallest. The machine "
        "is shared, so single figures vary by up to a third between runs. MB are 10⁶ bytes; peak memory "
        "is the process's most resident memory during the path (VmHWM, reset before it).",
        "",
        "| " + " | ".join(header) + " |",
        "|" + "|".join("---" for _ in header) + "|",
    ]
    for row in rows(figures):
        lines.append("| " + " | ".join(cell.replace("|", "\\|") for cell in row) + " |")
    return "\n".join(lines)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    readme, runs = sys.argv[1], sys.argv[2:]
    figures, context = load(runs)
    with open(readme) as f:
        text = f.read()
    pattern = re.compile(re.escape(BEGIN) + r".*?" + re.escape(END), re.S)
    if not pattern.search(text):
        sys.exit(f"{readme} has no {BEGIN} ... {END} lines for the table")
    text = pattern.sub(lambda _: BEGIN + "\n" + table(figures, context) + "\n" + END, text, count=1)
    with open(readme, "w") as f:
        f.write(text)
    print(table(figures, context))


if __name__ == "__main__":
    main()
