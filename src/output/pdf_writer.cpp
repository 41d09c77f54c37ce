#include "output/pdf_writer.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string_view>
#include <utility>

#include "support/m_strings.h"

namespace rivola::output {

namespace {

// Advance widths of Helvetica for the characters 32..126, in 1/1000 of the size.
constexpr short kHelvetica[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667, 611, 778,
    722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278,
    278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};

std::string num(double v) { return support::fixed_decimals(std::fabs(v) < 0.005 ? 0.0 : v, 2); }

// "#rrggbb" as the three fractions of a PDF colour; false for none.
bool colour(const std::string& c, double rgb[3]) {
    if (c.size() != 7 || c[0] != '#') return false;
    for (int k = 0; k < 3; ++k) rgb[k] = std::strtol(c.substr(1 + 2 * k, 2).c_str(), nullptr, 16) / 255.0;
    return true;
}

std::string colour_op(const std::string& c, const char* op) {
    double rgb[3];
    if (!colour(c, rgb)) return {};
    return num(rgb[0]) + " " + num(rgb[1]) + " " + num(rgb[2]) + " " + op + "\n";
}

std::string text_literal(const std::string& utf8) {
    std::string s = "(";
    for (unsigned char c : to_cp1252(utf8)) {
        if (c == '(' || c == ')' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 32 || c > 126) {
            char b[8];
            std::snprintf(b, sizeof b, "\\%03o", c);
            s += b;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + ")";
}

// Text of a content stream, appended piece by piece (a stream of a string
// would cost more than the numbers it holds).
struct Content {
    std::string text;
    Content& operator<<(std::string_view piece) {
        text.append(piece);
        return *this;
    }
};

// The drawing commands of one page; y of the drawing runs downwards, that of PDF upwards.
std::string page_content(const ProfileDrawing& d) {
    Content o;
    const double h = d.height;
    auto pt = [&](const SvgPoint& p) { return num(p.x) + " " + num(h - p.y); };
    for (const Shape& s : d.shapes) {
        if (s.pts.empty()) continue;
        const bool stroke = s.stroke != "none" && !s.stroke.empty() && s.width > 0;
        const bool fill = s.fill != "none" && !s.fill.empty();
        if (s.kind == Shape::Kind::Text) {
            if (s.text.empty()) continue;
            const double w = helvetica_width(s.text, s.bold) * s.size;
            const double a = -s.rotate * M_PI / 180.0;   // clockwise on the page
            const double shift = s.anchor == 0 ? 0.5 * w : s.anchor == 1 ? w : 0.0;
            const double x = s.pts[0].x - shift * std::cos(a), y = (h - s.pts[0].y) - shift * std::sin(a);
            o << "BT " << (s.bold ? "/F2 " : "/F1 ") << num(s.size) << " Tf "
              << colour_op(s.fill.empty() || s.fill == "none" ? "#000000" : s.fill, "rg") << num(std::cos(a)) << " "
              << num(std::sin(a)) << " " << num(-std::sin(a)) << " " << num(std::cos(a)) << " " << num(x) << " "
              << num(y) << " Tm " << text_literal(s.text) << " Tj ET\n";
            continue;
        }
        if (!stroke && !fill) continue;
        o << "q ";
        if (stroke) o << colour_op(s.stroke, "RG") << num(s.width) << " w ";
        if (fill) o << colour_op(s.fill, "rg");
        o << (s.dash.empty() ? "[] 0 d\n" : "[" + s.dash + "] 0 d\n");
        switch (s.kind) {
            case Shape::Kind::Line:
                if (s.pts.size() >= 2) o << pt(s.pts[0]) << " m " << pt(s.pts[1]) << " l S";
                break;
            case Shape::Kind::Polyline:
            case Shape::Kind::Polygon: {
                o << pt(s.pts[0]) << " m";
                for (size_t k = 1; k < s.pts.size(); ++k) o << " " << pt(s.pts[k]) << " l";
                if (s.kind == Shape::Kind::Polyline) o << " S";
                else o << (fill && stroke ? " b" : fill ? " h f" : " s");
                break;
            }
            case Shape::Kind::Circle: {
                // four cubic arcs: the control points lie 0.5523 r from the ends
                const double cx = s.pts[0].x, cy = h - s.pts[0].y, r = s.r, k = 0.5523 * r;
                o << num(cx + r) << " " << num(cy) << " m " << num(cx + r) << " " << num(cy + k) << " " << num(cx + k)
                  << " " << num(cy + r) << " " << num(cx) << " " << num(cy + r) << " c " << num(cx - k) << " "
                  << num(cy + r) << " " << num(cx - r) << " " << num(cy + k) << " " << num(cx - r) << " " << num(cy)
                  << " c " << num(cx - r) << " " << num(cy - k) << " " << num(cx - k) << " " << num(cy - r) << " "
                  << num(cx) << " " << num(cy - r) << " c " << num(cx + k) << " " << num(cy - r) << " " << num(cx + r)
                  << " " << num(cy - k) << " " << num(cx + r) << " " << num(cy) << " c"
                  << (fill && stroke ? " b" : fill ? " f" : " s");
                break;
            }
            default: break;
        }
        o << " Q\n";
    }
    return std::move(o.text);
}

// Level 3: the pages of a large plant pack in half the time of the
// default level 6, for a file about a seventh larger.
std::string deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), 3) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

}  // namespace

std::string to_cp1252(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned cp = c;
        int n = 0;
        if (c >= 0xF0) cp = c & 0x07, n = 3;
        else if (c >= 0xE0) cp = c & 0x0F, n = 2;
        else if (c >= 0xC0) cp = c & 0x1F, n = 1;
        for (int k = 1; k <= n && i + static_cast<size_t>(k) < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
        i += static_cast<size_t>(n) + 1;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) out += static_cast<char>(cp);
        else if (cp == 0x20AC) out += '\x80';
        else if (cp == 0x2013) out += '\x96';
        else if (cp == 0x2014) out += '\x97';
        else if (cp == 0x2026) out += '\x85';
        else out += '?';
    }
    return out;
}

double helvetica_width(const std::string& utf8, bool bold) {
    double w = 0;
    for (unsigned char c : to_cp1252(utf8)) w += c >= 32 && c <= 126 ? kHelvetica[c - 32] : 556;
    return w / 1000.0 * (bold ? 1.06 : 1.0);
}

bool write_pdf(const std::vector<const ProfileDrawing*>& pages, const std::string& title, std::ostream& out) {
    std::vector<std::string> objects;   // bodies of objects 1..n
    const size_t n = pages.size();
    // 1 catalogue, 2 page tree, 3 and 4 fonts, 5 document properties, then page and content per sheet
    std::string kids;
    for (size_t k = 0; k < n; ++k) kids += std::to_string(6 + 2 * k) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(n) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
    objects.push_back("<< /Title " + text_literal(title) + " /Producer (RIVOLA " RIVOLA_VERSION ") >>");
    for (size_t k = 0; k < n; ++k) {
        const ProfileDrawing& d = *pages[k];
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(d.width) + " " + num(d.height) +
                          "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " +
                          std::to_string(7 + 2 * k) + " 0 R >>");
        const std::string packed = deflate(page_content(d));
        objects.push_back("<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" +
                          packed + "\nendstream");
    }
    std::string doc = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t k = 0; k < objects.size(); ++k) {
        offsets.push_back(doc.size());
        doc += std::to_string(k + 1) + " 0 obj\n" + objects[k] + "\nendobj\n";
    }
    const size_t xref = doc.size();
    doc += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t off : offsets) {
        char b[24];
        std::snprintf(b, sizeof b, "%010zu 00000 n \n", off);
        doc += b;
    }
    doc += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 5 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    out.write(doc.data(), static_cast<std::streamsize>(doc.size()));
    return static_cast<bool>(out);
}

}  // namespace rivola::output
