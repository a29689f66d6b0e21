// Helpers of the DXF tests: a drawing that holds every kind of entity and table
// record the host keeps, comparison of drawings by what the file keeps, and the
// outside readers (ezdxf, ogrinfo) run on a written file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/drawing.h"
#include "outside_readers.h"

namespace dxftest {

// Every entity type (LINE, POINT, CIRCLE, ARC, TEXT left and justified, 3DFACE, SOLID, TRACE,
// LWPOLYLINE with bulges and widths, 2D and 3D POLYLINE chains, INSERT, HATCH
// with an edge path and a polyline path), a block definition with its own
// chain and extended data, and LAYER (with settings xdata in both forms), STYLE,
// LTYPE, APPID records. Layer "Orvik_survey_temp" carries the xdata.
host::Drawing every_kind_drawing();

// Adds failures for every difference the file must not make: entities of model
// space and of each block in order (type, groups in the writer's normal form,
// extended data), and every table record by name.
void expect_same_drawing(const host::Drawing& written, const host::Drawing& read);

// Text of a file; empty when it cannot be read.
std::string file_text(const std::string& path);
void write_file(const std::string& path, const std::string& text);

// The outside readers: ezdxf and ogrinfo (tests/support/outside_readers.h).
using outside::expect_ezdxf_reads;
using outside::expect_ogrinfo_reads;
using outside::ezdxf_python;
using outside::run_tool;

}  // namespace dxftest
