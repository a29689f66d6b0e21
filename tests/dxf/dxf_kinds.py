#!/usr/bin/python3
"""Drawings of the kinds that a save must give back whole, written with ezdxf:
layer links, block-record units and previews, table heads with an extension
dictionary and extended data, a thumbnail, ACDSDATA, a shape-file style that a
complex line type points at, header values beyond what the host works with,
and one drawing per code page with non-ASCII texts and layer names.

    python3 dxf_kinds.py FOLDER [VERSION ...]

writes FOLDER/<kind>_<version>.dxf for each kind and version (R2000 and R2018
when none are given; "all" for every version from R12 to R2018) and prints
the files' names, one a line.
"""

import os
import sys

import ezdxf

VERSIONS = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]

# A small bitmap as a preview would hold it: a BITMAPINFOHEADER and a few bytes.
PREVIEW = "2800000010000000100000000100010000000000400000000000000000000000" \
          "020000000200000000000000FFFFFF00" + "00FF" * 32

# Texts of each code page: its codec, a layer name and a text in characters of its own.
CODE_PAGES = {
    "ANSI_1252": ("cp1252", "Grenzfläche", "Grüße 45° Straße Ø"),
    "ANSI_1250": ("cp1250", "Hranice_Łódź", "Žluťoučký kůň úpěl"),
    "ANSI_1251": ("cp1251", "Граница", "Ширина участка 12 м"),
    "ANSI_1253": ("cp1253", "Όρια", "Εμβαδόν οικοπέδου"),
    "ANSI_932": ("cp932", "境界線", "測量 図面"),
    "ANSI_936": ("gbk", "边界", "测量 图纸"),
}


def base(version):
    doc = ezdxf.new(version, setup=version != "R12")
    doc.layers.add("Walls", color=3)
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 5), dxfattribs={"layer": "Walls"})
    return doc


def layer_links(version):
    """LAYER records with plot-style, material and visual-style links."""
    doc = base(version)
    if version == "R12":
        return doc, []
    layer = doc.layers.get("Walls")
    placeholder = doc.rootdict.get("ACAD_PLOTSTYLENAME")
    material = doc.materials.get("Global") if hasattr(doc, "materials") else None
    if placeholder is not None:
        layer.dxf.plotstyle_handle = placeholder.get("Normal").dxf.handle
    if material is not None:
        layer.dxf.material_handle = material.dxf.handle
    # The visual style link (348) points at an object of the objects section.
    style = doc.objects.new_entity("XRECORD", {"owner": doc.rootdict.dxf.handle})
    layer.dxf.unknown1 = style.dxf.handle
    return doc, []


def block_records(version):
    """BLOCK_RECORD records with insert units, explodability and scale flags
    and a preview bitmap."""
    doc = base(version)
    block = doc.blocks.new("TREE")
    block.add_circle((0, 0), 1.5)
    doc.modelspace().add_blockref("TREE", (5, 5))
    if version != "R12":
        record = block.block_record
        record.dxf.units = 4
        record.dxf.explode = 0
        record.dxf.scale = 1
    return doc, ["preview"]


def table_heads(version):
    """A table head with an extension dictionary (layer states) and extended data."""
    doc = base(version)
    if version == "R12":
        return doc, []
    head = doc.layers.head
    xdict = head.new_extension_dict()
    states = doc.objects.add_dictionary(owner=xdict.dictionary.dxf.handle)
    xdict.dictionary["ACAD_LAYERSTATES"] = states
    state = doc.objects.add_xrecord(owner=states.dxf.handle)
    state.reset([(1, "Survey state"), (90, 7)])
    states["Survey state"] = state
    return doc, ["head_xdata"]


def sections(version):
    """A thumbnail and an ACDSDATA section."""
    doc = base(version)
    return doc, ["thumbnail", "acdsdata"] if version != "R12" else []


def shape_style(version):
    """A complex line type whose shape lives in a style without a name."""
    doc = base(version)
    if version == "R12":
        return doc, []
    shx = doc.styles.add_shx("ltypeshp.shx")
    doc.linetypes.add(
        "GAS_LINE", pattern='A,.5,-.2,["GAS",STANDARD,S=.1,U=0.0,X=-0.1,Y=-.05],-.25',
        description="Gas line ----GAS----GAS----", length=0.95)
    doc.linetypes.add(
        "FENCE", pattern="A,.25,-.1,[132,ltypeshp.shx,x=-.1,s=.1],-.1,1", description="Fence ---O---O---",
        length=1.45)
    assert shx.dxf.name == ""
    doc.modelspace().add_line((0, 10), (20, 10), dxfattribs={"linetype": "FENCE"})
    return doc, []


def header_values(version):
    """Header values beyond the ranges the host works with."""
    doc = base(version)
    doc.header["$SPLINETYPE"] = 2
    doc.header["$LUPREC"] = 10
    doc.header["$AUNITS"] = 9
    doc.header["$INSUNITS"] = 6
    return doc, []


def survey_angles(version):
    """A drawing set to survey angles: north as the base, clockwise, surveyor's units."""
    doc = base(version)
    doc.header["$ANGBASE"] = 90.0
    doc.header["$ANGDIR"] = 1
    doc.header["$AUNITS"] = 4
    doc.header["$AUPREC"] = 4
    doc.modelspace().add_text("N 45d30'15\" E", dxfattribs={"insert": (5, 5), "height": 2.5, "rotation": 44.5})
    return doc, []


KINDS = {
    "layer_links": layer_links,
    "block_records": block_records,
    "table_heads": table_heads,
    "sections": sections,
    "shape_style": shape_style,
    "header_values": header_values,
    "survey_angles": survey_angles,
}


def code_page(version, page):
    doc = base(version)
    codec, layer_name, text = CODE_PAGES[page]
    # Files before R2007 are written in the code page, which their header names.
    doc.encoding = codec
    doc.layers.add(layer_name, color=5)
    msp = doc.modelspace()
    msp.add_text(text, dxfattribs={"insert": (0, 0), "height": 2.5, "layer": layer_name})
    if version != "R12":
        msp.add_mtext(text + "\\P" + layer_name, dxfattribs={"insert": (0, -5), "layer": layer_name})
    return doc, []


def patch(path, extras, version):
    """What ezdxf does not write itself, put into its file's text."""
    if not extras:
        return
    encoding = "utf-8" if version >= "R2007" else "cp1252"
    with open(path, encoding=encoding, newline="") as f:
        lines = f.read().split("\n")
    if "preview" in extras:
        # The preview goes after the block record's last group before its extended data.
        for i in range(0, len(lines) - 1, 2):
            if lines[i].strip() == "0" and lines[i + 1].strip() == "BLOCK_RECORD":
                j = i + 2
                name = None
                while j < len(lines) - 1 and lines[j].strip() != "0":
                    if lines[j].strip() == "2":
                        name = lines[j + 1].strip()
                    if lines[j].strip() == "1001":
                        break
                    j += 2
                if name == "TREE":
                    lines[j:j] = ["310", PREVIEW[:64], "310", PREVIEW[64:]]
                    break
    if "head_xdata" in extras:
        # Extended data of the LAYER and APPID heads, after their count.
        for table, data in (("LAYER", ["1000", "layer states", "1070", "3"]), ("APPID", ["1000", "appid head"])):
            for i in range(0, len(lines) - 3, 2):
                if lines[i + 1].strip() == "TABLE" and lines[i + 3].strip() == table:
                    j = i + 4
                    while lines[j].strip() != "70":
                        j += 2
                    lines[j + 2:j + 2] = ["1001", "ACAD"] + data
                    break
    sections = []
    if "thumbnail" in extras:
        picture = PREVIEW * 3
        sections += ["0", "SECTION", "2", "THUMBNAILIMAGE", "90", str(len(picture) // 2)]
        for k in range(0, len(picture), 254):
            sections += ["310", picture[k:k + 254]]
        sections += ["0", "ENDSEC"]
    if "acdsdata" in extras:
        sections += ["0", "SECTION", "2", "ACDSDATA", "70", "2", "71", "6",
                     "0", "ACDSSCHEMA", "90", "0", "1", "AcDb3DSolid_ASM_Data", "2", "AcDbDs::ID", "280", "10",
                     "91", "8", "0", "ACDSRECORD", "90", "0", "2", "AcDbDs::ID", "280", "10", "320", "1F",
                     "2", "ASM_Data", "280", "15", "94", "0", "0", "ENDSEC"]
    if sections:
        at = len(lines) - 1
        while at > 0 and not (lines[at].strip() == "EOF" and lines[at - 1].strip() == "0"):
            at -= 1
        lines[at - 1:at - 1] = sections
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write("\n".join(lines))


def write_all(folder, versions):
    os.makedirs(folder, exist_ok=True)
    names = []
    for version in versions:
        for kind, make in KINDS.items():
            doc, extras = make(version)
            path = os.path.join(folder, "%s_%s.dxf" % (kind, version))
            doc.saveas(path)
            patch(path, extras, version)
            names.append(path)
        for page in CODE_PAGES:
            doc, extras = code_page(version, page)
            path = os.path.join(folder, "codepage_%s_%s.dxf" % (page, version))
            doc.saveas(path)
            names.append(path)
    return names


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    versions = argv[2:] or ["R2000", "R2018"]
    if versions == ["all"]:
        versions = VERSIONS
    for name in write_all(argv[1], versions):
        print(name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
