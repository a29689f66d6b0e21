// Writing the KML document: every vertex converted to WGS84 first, so that a
// point the converter refuses stops the export before anything is written,
// then the header, one placemark per path and the footer, put in place whole.
#include <cstdio>

#include "ads.h"
#include "coord_sys.h"
#include "kml_export.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

using lon_lat_list = std::vector<std::array<double, 2>>;

std::string vertex_line(const std::array<double, 2>& lon_lat)
{
    char line[96];
    std::snprintf(line, sizeof line, "\t\t\t\t%.12f,%.12f,0\n", lon_lat[0], lon_lat[1]);
    return line;
}

std::string vertex_lines(const lon_lat_list& points)
{
    std::string text;
    for (const auto& p : points) text += vertex_line(p);
    return text;
}

// Converts the path's vertices: longitude first, latitude second. false when
// a vertex could not be converted.
bool path_lon_lat(const kml_path_rec& path, lon_lat_list& out)
{
    out.clear();
    for (const numbered_point& v : path.vertices) {
        if (!coord_convert(v.point.x, v.point.y, 0)) {
            acutPrintf(
                "\nThe point %.3f,%.3f of %s could not be converted to WGS84: no KML file was written.",
                v.point.x, v.point.y, path.name.c_str());
            return false;
        }
        out.push_back({coord_geo_result.longitude, coord_geo_result.latitude});
    }
    return true;
}

bool convert_all(const std::vector<kml_path_rec>& paths, std::vector<lon_lat_list>& out)
{
    out.resize(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        if (!path_lon_lat(paths[i], out[i])) return false;
    return true;
}

// The byte at i starts a UTF-8 sequence of this many bytes; 0 when it does not.
size_t utf8_length(const std::string& text, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

std::string kml_xml_text(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t n = utf8_length(text, i);
        if (n == 0) {
            // A byte of a single-byte code page, taken as Latin-1.
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text, i, n);
            i += n;
            continue;
        }
        ++i;
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (c >= 0x20 || c == '\t') out += static_cast<char>(c);
        }
    }
    return out;
}

std::string kml_write_header()
{
    static const char* const lines[] = {
        "<?xml version=&quot1.0&quot encoding=&quotUTF-8&quot?>\n",
        "<kml xmlns=&quothttp://www.opengis.net/kml/2.2&quot "
        "xmlns:gx=&quothttp://www.google.com/kml/ext/2.2&quot "
        "xmlns:kml=&quothttp://www.opengis.net/kml/2.2&quot "
        "xmlns:atom=&quothttp://www.w3.org/2005/Atom&quot>\n",
        "<Document>\n",
        "\t<Style id=&quotsn_pelmora-pushpin&quot>\n",
        "\t<IconStyle>\n",
        "\t<scale>1.1</scale>\n",
        "\t<Icon>\n",
        "\t<href>http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png</href>\n",
        "\t</Icon>\n",
        "\t<hotSpot x=&quot20&quot y=&quot2&quot xunits=&quotpixels&quot yunits=&quotpixels&quot/>",
        "\t</IconStyle>\n",
        "\t<PolyStyle>\n",
        "\t<fill>0</fill>\n",
        "\t</PolyStyle>\n",
        "\t</Style>\n",
    };
    std::string text;
    for (const char* line : lines) text += str_unescape_quot(line);
    return text;
}

std::string kml_write_path(const kml_path_rec& path, const lon_lat_list& lon_lat)
{
    return "\t<Placemark>\n\t\t<name>" + kml_xml_text(path.name) +
           "</name>\n"
           "\t\t<styleUrl>#m_ylw-pushpin</styleUrl>\n"
           "\t\t<LineString>\n"
           "\t\t\t<tessellate>1</tessellate>\n"
           "\t\t\t<coordinates>\n" +
           vertex_lines(lon_lat) +
           "\t\t\t</coordinates>\n"
           "\t\t</LineString>\n"
           "\t</Placemark>\n";
}

std::string kml_write_polygon(const kml_path_rec& path, const lon_lat_list& lon_lat)
{
    return "\t<Placemark>\n\t\t<name>" + kml_xml_text(path.name) +
           "</name>\n"
           "\t\t<styleUrl>#sn_pelmora-pushpin</styleUrl>\n"
           "\t\t<Polygon>\n"
           "\t\t\t<tessellate>1</tessellate>\n"
           "\t\t\t<outerBoundaryIs>\n"
           "\t\t\t\t<LinearRing>\n"
           "\t\t\t\t<coordinates>\n" +
           vertex_lines(lon_lat) +
           "\t\t\t\t</coordinates>\n"
           "\t\t\t\t</LinearRing>\n"
           "\t\t\t</outerBoundaryIs>\n"
           "\t\t</Polygon>\n"
           "\t</Placemark>\n";
}

std::string kml_write_footer()
{
    return "</Document>\n</kml>\n";
}

int kml_export_write()
{
    const kml_settings_rec& s = kml_settings();
    coord_sys_select(s.state_name, s.projection_name, COORD_WGS84);
    std::vector<lon_lat_list> lines, rings;
    if (!convert_all(s.paths, lines) || !convert_all(s.closed_paths, rings)) return 0;

    std::string text = kml_write_header();
    for (size_t i = 0; i < s.paths.size(); ++i) text += kml_write_path(s.paths[i], lines[i]);
    for (size_t i = 0; i < s.closed_paths.size(); ++i) text += kml_write_polygon(s.closed_paths[i], rings[i]);
    text += kml_write_footer();
    if (std::string why; !text_file_replace(s.file_name, text, &why)) {
        acutPrintf("\n%s could not be written (%s): it is as it was.", s.file_name.c_str(), why.c_str());
        acedAlert("File error.");
        return 0;
    }
    acutPrintf("\n%d path(s) written to %s.", static_cast<int>(s.paths.size() + s.closed_paths.size()),
               s.file_name.c_str());
    return 1;
}
