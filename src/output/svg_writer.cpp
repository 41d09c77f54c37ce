#include "output/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace rivola::output {

namespace {

// Appends s to out as XML text: & < > " ' as entities, control characters
// other than tab and line feed dropped (XML 1.0 does not allow them).
bool plain(char c) {
    return c != '&' && c != '<' && c != '>' && c != '"' && c != '\'' &&
           (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
}

void append_escaped(std::string& out, std::string_view s) {
    // most texts and attribute values need no entity: appended in one piece
    size_t n = 0;
    while (n < s.size() && plain(s[n])) ++n;
    out.append(s.substr(0, n));
    for (const char c : s.substr(n)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                out += c;
        }
    }
}

// Appends v with at most two decimals and no trailing zeros; "0" when it is
// not finite.
void append_num(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += '0';
        return;
    }
    char buf[512];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    char* end = r.ec == std::errc() ? r.ptr : buf;
    if (std::find(static_cast<char*>(buf), end, '.') != end) {
        while (end > buf && end[-1] == '0') --end;
        if (end > buf && end[-1] == '.') --end;
    }
    if (end - buf == 2 && buf[0] == '-' && buf[1] == '0') {
        out += '0';
        return;
    }
    out.append(buf, static_cast<size_t>(end - buf));
}

}  // namespace

std::string xml_escape(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    append_escaped(r, s);
    return r;
}

std::string svg_num(double v) {
    std::string s;
    append_num(s, v);
    return s;
}

SvgWriter::SvgWriter(double width, double height, std::ostream* sink) : sink_(sink) {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                 {"version", "1.1"},
                 {"width", svg_num(width)},
                 {"height", svg_num(height)},
                 {"viewBox", "0 0 " + svg_num(width) + " " + svg_num(height)}});
}

void SvgWriter::indent() {
    spill();
    out_.append(2 * open_.size(), ' ');
}

void SvgWriter::spill() {
    if (sink_ && out_.size() >= (1u << 20)) {
        *sink_ << out_;
        out_.clear();
    }
}

void SvgWriter::begin_tag(std::string_view tag) {
    indent();
    out_ += '<';
    out_ += tag;
}

void SvgWriter::put_attr(std::string_view key, std::string_view value) {
    out_ += ' ';
    out_ += key;
    out_ += "=\"";
    append_escaped(out_, value);
    out_ += '"';
}

void SvgWriter::put_num(std::string_view key, double value) {
    out_ += ' ';
    out_ += key;
    out_ += "=\"";
    append_num(out_, value);
    out_ += '"';
}

void SvgWriter::end_tag(const Attrs& attrs, bool empty) {
    for (const auto& [k, v] : attrs) put_attr(k, v);
    out_ += empty ? "/>\n" : ">";
}

void SvgWriter::start_tag(const std::string& tag, const Attrs& attrs, bool empty) {
    begin_tag(tag);
    end_tag(attrs, empty);
}

void SvgWriter::open(const std::string& tag, const Attrs& attrs) {
    start_tag(tag, attrs, false);
    out_ += '\n';
    open_.push_back(tag);
}

void SvgWriter::close() {
    if (open_.empty()) return;
    const std::string tag = open_.back();
    open_.pop_back();
    indent();
    out_ += "</" + tag + ">\n";
}

void SvgWriter::element(const std::string& tag, const Attrs& attrs) { start_tag(tag, attrs, true); }

void SvgWriter::text_element(const std::string& tag, const Attrs& attrs, std::string_view content) {
    start_tag(tag, attrs, false);
    append_escaped(out_, content);
    out_ += "</" + tag + ">\n";
}

void SvgWriter::line(double x1, double y1, double x2, double y2, const Attrs& attrs) {
    begin_tag("line");
    put_num("x1", x1);
    put_num("y1", y1);
    put_num("x2", x2);
    put_num("y2", y2);
    end_tag(attrs, true);
}

void SvgWriter::put_points(const std::vector<SvgPoint>& pts) {
    out_ += " points=\"";
    for (size_t k = 0; k < pts.size(); ++k) {
        if (k > 0) out_ += ' ';
        append_num(out_, pts[k].x);
        out_ += ',';
        append_num(out_, pts[k].y);
    }
    out_ += '"';
}

void SvgWriter::polyline(const std::vector<SvgPoint>& pts, const Attrs& attrs) {
    begin_tag("polyline");
    put_points(pts);
    end_tag(attrs, true);
}

void SvgWriter::polygon(const std::vector<SvgPoint>& pts, const Attrs& attrs) {
    begin_tag("polygon");
    put_points(pts);
    end_tag(attrs, true);
}

void SvgWriter::rect(double x, double y, double w, double h, const Attrs& attrs) {
    begin_tag("rect");
    put_num("x", x);
    put_num("y", y);
    put_num("width", w);
    put_num("height", h);
    end_tag(attrs, true);
}

void SvgWriter::circle(double cx, double cy, double r, const Attrs& attrs) {
    begin_tag("circle");
    put_num("cx", cx);
    put_num("cy", cy);
    put_num("r", r);
    end_tag(attrs, true);
}

void SvgWriter::path(const std::string& d, const Attrs& attrs) {
    begin_tag("path");
    put_attr("d", d);
    end_tag(attrs, true);
}

void SvgWriter::text(double x, double y, std::string_view content, const Attrs& attrs, double rotate) {
    begin_tag("text");
    put_num("x", x);
    put_num("y", y);
    if (rotate != 0.0) put_attr("transform", "rotate(" + svg_num(rotate) + " " + svg_num(x) + " " + svg_num(y) + ")");
    end_tag(attrs, false);
    append_escaped(out_, content);
    out_ += "</text>\n";
}

std::string SvgWriter::finish() {
    while (!open_.empty()) close();
    if (!sink_) return out_;
    *sink_ << out_;
    out_.clear();
    return {};
}

}  // namespace rivola::output
