// A small writer of SVG documents: nested elements, text with XML escaping,
// lines, polylines, polygons, paths and rectangles. It writes well-formed XML
// by construction: every element it opens is closed by close() or finish(),
// and every text and attribute value is escaped.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rivola::output {

// Text made safe for XML character data and attribute values: & < > " ' are
// written as entities; control characters other than tab and line feed, which
// XML 1.0 does not allow, are dropped.
std::string xml_escape(std::string_view s);

// A coordinate or length as SVG number text: at most two decimals, no
// trailing zeros, "0" for a value that is not finite.
std::string svg_num(double v);

struct SvgPoint {
    double x = 0, y = 0;
};

class SvgWriter {
public:
    using Attrs = std::vector<std::pair<std::string, std::string>>;

    // Starts a document of the given size in pixels (user units). With a
    // sink the text goes there in pieces as it grows, so that a drawing of a
    // large plant is never held whole in memory; finish() then returns "".
    SvgWriter(double width, double height, std::ostream* sink = nullptr);

    // Opens an element with children (for example "g"); close() ends it.
    void open(const std::string& tag, const Attrs& attrs = {});
    void close();
    // An element without children.
    void element(const std::string& tag, const Attrs& attrs);
    // An element holding escaped text, e.g. "text" or "title".
    void text_element(const std::string& tag, const Attrs& attrs, std::string_view content);

    void line(double x1, double y1, double x2, double y2, const Attrs& attrs = {});
    void polyline(const std::vector<SvgPoint>& pts, const Attrs& attrs = {});
    void polygon(const std::vector<SvgPoint>& pts, const Attrs& attrs = {});
    void rect(double x, double y, double w, double h, const Attrs& attrs = {});
    void circle(double cx, double cy, double r, const Attrs& attrs = {});
    void path(const std::string& d, const Attrs& attrs = {});
    // Text at (x, y); `rotate` in degrees about (x, y), 0 = none.
    void text(double x, double y, std::string_view content, const Attrs& attrs = {},
              double rotate = 0.0);

    // Number of elements opened and not yet closed (the root included).
    size_t depth() const { return open_.size(); }
    // Closes every open element and returns the document (the rest of it
    // written to the sink, if there is one).
    std::string finish();

private:
    void start_tag(const std::string& tag, const Attrs& attrs, bool empty);
    // The pieces of a start tag: "<tag", each attribute, then the given
    // attributes and ">" or "/>" (numbers and points written straight into
    // the text: a large plant draws millions of them).
    void begin_tag(std::string_view tag);
    void put_attr(std::string_view key, std::string_view value);
    void put_num(std::string_view key, double value);
    void put_points(const std::vector<SvgPoint>& pts);
    void end_tag(const Attrs& attrs, bool empty);
    void indent();
    void spill();

    std::string out_;
    std::ostream* sink_ = nullptr;
    std::vector<std::string> open_;
};

}  // namespace rivola::output
