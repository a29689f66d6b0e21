// Helpers of the DXF tests: a drawing that holds every kind of entity and table
// record the host keeps, comparison of drawings by what the file keeps, and the
// outside readers (ezdxf, ogrinfo) run on a written file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing.h"

namespace dxftest {

// Every entity type (LINE, POINT, CIRCLE, ARC, TEXT left and justified, 3DFACE,
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

// Runs a shell command; its exit status, with standard output and error in output.
int run_tool(const std::string& command, std::string& output);

// The python interpreter that has ezdxf, or "" when none has.
std::string ezdxf_python();
bool have_ogrinfo();

// ezdxf opens the file, its audit finds no error, and each "layer:app" pair of
// the list has extended data on the layer; prints the 1000 texts found, one
// "layer app text" line each, into texts.
void expect_ezdxf_reads(const std::string& file, const std::vector<std::string>& layer_apps,
                        std::string* texts = nullptr);
// ogrinfo reads the file's entities without error; returns its feature count.
long expect_ogrinfo_reads(const std::string& file);

}  // namespace dxftest
