// The host's commands on drawing files: OPEN, SAVE, SAVEAS, PICTURE (script
// commands) and Insert (a command for acedCommand), and the functions behind
// them for the host's other parts and tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "session/session.h"

namespace host {

// Registers OPEN, SAVE, SAVEAS, PICTURE and Insert with the session.
void register_drawing_file_commands(Session& session);
void register_insert_command(Session& session);
void register_picture_command(Session& session);

// A full path of this machine for a path a user or plug-in gave (a Windows
// path as the platform layer maps it; relative to the working folder).
std::string drawing_file_path(const std::string& given);

// The system variables the drawing file keeps, and their reading back (values
// the host cannot take are left at their defaults).
std::vector<DxfHeaderVariable> dxf_header_of(const Drawing& drawing);
// Gives the drawing the values of the header variables it keeps. A value it
// cannot take leaves the variable as it was and is named in notes; kept (when
// given) remembers the values the drawing took, so that a save writes the
// file's own text of every value that is still the same.
void dxf_header_apply(Drawing& drawing, const std::vector<DxfHeaderVariable>& header, DxfKept* kept = nullptr,
                      std::vector<std::string>* notes = nullptr);

// A document read from a drawing file (a ".dwg" name resolves as
// resolve_drawing_file says), with DWGPREFIX, DWGNAME and its file path set;
// null with the reason in error when it cannot be read.
// skipped gets what was left out ("3 MTEXT"), notes the values the reader
// mended or left out, each with its line.
std::unique_ptr<Document> open_drawing_document(const std::string& given, std::string& error,
                                                std::vector<std::string>* skipped = nullptr,
                                                std::vector<std::string>* notes = nullptr);
// Writes the document's drawing to the file, with what its file kept beside
// it; its modified flag is cleared. left_out gets what the file's version
// cannot hold.
bool save_drawing_document(Document& document, const std::string& file, std::string& error,
                           std::vector<std::string>* left_out = nullptr);

// The Insert command: loads a block drawing (once) and inserts it on CLAYER.
int insert_command(CommandArgs& args);
// Makes the block definition `name` in the drawing from the model space of the
// block drawing, with the tables its entities need; the new BLOCK record's id.
long define_block_from_drawing(Drawing& drawing, const std::string& name, const Drawing& source,
                               const Point3& base);

// Writes a picture of the document's drawing (PNG or PDF by the file's
// extension), of the whole drawing or of the window (x1,y1)-(x2,y2) when given.
// False with the reason when it cannot be written.
struct PictureWindow {
    Point3 lower_left, upper_right;
};
bool write_picture(const Document& document, const std::string& file, const PictureWindow* window,
                   std::string& error);

// True when this host was built with cairo and can write pictures.
bool picture_supported();

// The pixels of a PNG file, for checking pictures; false when the file is no PNG.
struct PixelColour {
    int red = 0, green = 0, blue = 0;
};
struct PixelImage {
    int width = 0, height = 0;
    std::vector<PixelColour> pixels;  // row by row from the top
    PixelColour at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
bool read_picture_pixels(const std::string& png_file, PixelImage& image);

}  // namespace host
