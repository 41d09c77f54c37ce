#include "output/svg_writer.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace rivola::output {

std::string xml_escape(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (const char c : s) {
        switch (c) {
            case '&': r += "&amp;"; break;
            case '<': r += "&lt;"; break;
            case '>': r += "&gt;"; break;
            case '"': r += "&quot;"; break;
            case '\'': r += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                r += c;
        }
    }
    return r;
}

std::string svg_num(double v) {
    if (!std::isfinite(v)) return "0";
    // coordinates to 1/100 px, written straight into the buffer: a large plant
    // draws a million of them
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
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

void SvgWriter::start_tag(const std::string& tag, const Attrs& attrs, bool empty) {
    indent();
    out_ += '<';
    out_ += tag;
    for (const auto& [k, v] : attrs) {
        out_ += ' ';
        out_ += k;
        out_ += "=\"";
        out_ += xml_escape(v);
        out_ += '"';
    }
    out_ += empty ? "/>\n" : ">";
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
    out_ += xml_escape(content);
    out_ += "</" + tag + ">\n";
}

namespace {

SvgWriter::Attrs with(SvgWriter::Attrs first, const SvgWriter::Attrs& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

std::string points(const std::vector<SvgPoint>& pts) {
    std::string s;
    for (const auto& p : pts) {
        if (!s.empty()) s += ' ';
        s += svg_num(p.x) + "," + svg_num(p.y);
    }
    return s;
}

}  // namespace

void SvgWriter::line(double x1, double y1, double x2, double y2, const Attrs& attrs) {
    element("line", with({{"x1", svg_num(x1)}, {"y1", svg_num(y1)}, {"x2", svg_num(x2)}, {"y2", svg_num(y2)}},
                         attrs));
}

void SvgWriter::polyline(const std::vector<SvgPoint>& pts, const Attrs& attrs) {
    element("polyline", with({{"points", points(pts)}}, attrs));
}

void SvgWriter::polygon(const std::vector<SvgPoint>& pts, const Attrs& attrs) {
    element("polygon", with({{"points", points(pts)}}, attrs));
}

void SvgWriter::rect(double x, double y, double w, double h, const Attrs& attrs) {
    element("rect", with({{"x", svg_num(x)}, {"y", svg_num(y)}, {"width", svg_num(w)}, {"height", svg_num(h)}},
                         attrs));
}

void SvgWriter::circle(double cx, double cy, double r, const Attrs& attrs) {
    element("circle", with({{"cx", svg_num(cx)}, {"cy", svg_num(cy)}, {"r", svg_num(r)}}, attrs));
}

void SvgWriter::path(const std::string& d, const Attrs& attrs) { element("path", with({{"d", d}}, attrs)); }

void SvgWriter::text(double x, double y, std::string_view content, const Attrs& attrs, double rotate) {
    Attrs a{{"x", svg_num(x)}, {"y", svg_num(y)}};
    if (rotate != 0.0)
        a.emplace_back("transform", "rotate(" + svg_num(rotate) + " " + svg_num(x) + " " + svg_num(y) + ")");
    text_element("text", with(a, attrs), content);
}

std::string SvgWriter::finish() {
    while (!open_.empty()) close();
    if (!sink_) return out_;
    *sink_ << out_;
    out_.clear();
    return {};
}

}  // namespace rivola::output
