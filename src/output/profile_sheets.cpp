#include "output/profile_sheets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <sstream>

#include "output/pdf_writer.h"
#include "output/result_files.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::output {

namespace {

constexpr double kPt = 72.0 / 25.4;   // points per millimetre
constexpr int kLengthSeries[] = {100, 200, 250, 500, 1000};
constexpr int kHeightSeries[] = {10, 20, 25, 50, 100, 200, 250, 500, 1000};

// The parts of a sheet, in millimetres from its top left corner.
struct Frame {
    double left = 20, top = 10, right, bottom;     // drawing frame (binding margin on the left)
    double plotLeft, plotTop, plotRight, plotBottom;
    double blockWidth = 180, blockHeight = 52;     // title block at the bottom right
};

Frame frame_of(const SheetFormat& f) {
    Frame r;
    const bool small = f.width < 300;
    if (small) r.left = 15, r.blockWidth = 120, r.blockHeight = 40;
    r.right = f.width - 10;
    r.bottom = f.height - 10;
    r.plotLeft = r.left + 22;         // room for the height axis
    r.plotRight = r.right - 8;
    r.plotTop = r.top + 48;           // room for the element labels
    r.plotBottom = r.bottom - r.blockHeight - 14;  // room for the length axis and scale bar
    return r;
}

std::string fixed(double v, int decimals) { return support::fixed_decimals(v, decimals); }

// A station as engineers write it: 1+234.5 is 1234.5 m from the plant inlet.
std::string station(double x) {
    const long m = std::lround(x);
    char b[32];
    std::snprintf(b, sizeof b, "%ld+%03ld", m / 1000, m % 1000);
    return b;
}

struct Painter {
    ProfileDrawing& d;
    int panel;
    Shape& add(Shape::Kind k, std::vector<SvgPoint> pts, const std::string& stroke, const std::string& fill,
               double width, const std::string& role) {
        Shape s;
        s.kind = k;
        for (auto& p : pts) p = {p.x * kPt, p.y * kPt};
        s.pts = std::move(pts);
        s.stroke = stroke;
        s.fill = fill;
        s.width = width;
        s.role = role;
        s.panel = panel;
        d.shapes.push_back(std::move(s));
        return d.shapes.back();
    }
    void line(double x0, double y0, double x1, double y1, const std::string& c, double w, const std::string& role,
              const std::string& dash = {}) {
        add(Shape::Kind::Line, {{x0, y0}, {x1, y1}}, c, "none", w, role).dash = dash;
    }
    void rect(double x0, double y0, double x1, double y1, const std::string& stroke, const std::string& fill,
              double w, const std::string& role) {
        add(Shape::Kind::Polygon, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, stroke, fill, w, role);
    }
    // size in millimetres of text height (a 2.5 mm text is about 7 pt)
    void text(double x, double y, const std::string& t, double sizeMm, int anchor = -1, double rotate = 0,
              bool bold = false, const std::string& colour = "#000000", const std::string& role = "text") {
        Shape& s = add(Shape::Kind::Text, {{x, y}}, "none", colour, 0, role);
        s.text = t;
        s.size = sizeMm * kPt * 1.4;
        s.anchor = anchor;
        s.rotate = rotate;
        s.bold = bold;
    }
};

// The part of an element between two flow lengths, its levels interpolated.
bool clip(const ProfileEnd& a, const ProfileEnd& b, double x0, double x1, ProfileEnd& ca, ProfileEnd& cb) {
    if (b.x < x0 || a.x > x1) return false;
    auto at = [&](double x) {
        ProfileEnd e = a;
        const double t = b.x > a.x ? (x - a.x) / (b.x - a.x) : 0.0;
        auto mix = [&](float u, float v) { return static_cast<float>(u + t * (v - u)); };
        e.x = static_cast<float>(x);
        e.z = mix(a.z, b.z);
        e.wsp = mix(a.wsp, b.wsp);
        e.e = mix(a.e, b.e);
        e.top = mix(a.top, b.top);
        e.hasTop = a.hasTop && b.hasTop;
        return e;
    };
    ca = a.x < x0 ? at(x0) : a;
    cb = b.x > x1 ? at(x1) : b;
    return true;
}

const char* tr(bool en, const char* de, const char* english) { return en ? english : de; }

// Is the water level written at this element's ends? At weirs, walls, flumes, basins.
bool annotated(char letter) { return letter == 'U' || letter == 'W' || letter == 'G' || letter == 'B'; }

// Two strands are drawn once when they are hydraulically alike: the same
// elements in the same order and lengths, and invert, top, water level and
// energy level at every end within 1 mm.
bool alike(const ProfilePanel& a, const ProfilePanel& b) {
    if (a.elements.size() != b.elements.size() || a.elements.empty()) return false;
    const float a0 = a.elements.front().up.x, b0 = b.elements.front().up.x;
    constexpr float mm = 0.001f;
    auto same = [&](const ProfileEnd& p, const ProfileEnd& q) {
        return std::fabs((p.x - a0) - (q.x - b0)) <= mm && std::fabs(p.z - q.z) <= mm &&
               std::fabs(p.wsp - q.wsp) <= mm && std::fabs(p.e - q.e) <= mm && p.hasTop == q.hasTop &&
               (!p.hasTop || std::fabs(p.top - q.top) <= mm) && p.over == q.over;
    };
    for (size_t k = 0; k < a.elements.size(); ++k) {
        const ProfileElement &p = a.elements[k], &q = b.elements[k];
        if (p.letter != q.letter || !same(p.up, q.up) || !same(p.down, q.down)) return false;
    }
    return true;
}

// "also L2, L3 and 14 more": the strands a drawn strand stands for.
std::string also(const std::vector<std::string>& names, bool en) {
    std::string s = tr(en, "gleich: ", "alike: ");
    const size_t shown = std::min<size_t>(names.size(), 8);
    for (size_t k = 0; k < shown; ++k) s += (k ? ", " : "") + names[k];
    if (names.size() > shown)
        s += tr(en, " und ", " and ") + std::to_string(names.size() - shown) + tr(en, " weitere", " more");
    return s;
}

// The discharge of a strand and where it begins and ends outside itself.
std::string strand_course(const ProfilePanel& panel, bool en) {
    if (panel.elements.empty()) return {};
    const ProfileElement& first = panel.elements.front();
    const ProfileElement& last = panel.elements.back();
    std::string s = ", Q = " + fixed(1000.0 * first.Q, 1) + " l/s";
    if (first.prev < 0 && !first.from.empty()) s += tr(en, ", von ", ", from ") + first.from;
    if (last.next < 0 && !last.to.empty() && last.to != "ENDE") s += tr(en, ", nach ", ", to ") + last.to;
    return s;
}

// The title block at the bottom right: the plant's title lines, then `rows`.
void title_block(Painter& p, const Frame& fr, const SheetText& text, const std::vector<std::string>& rows) {
    const double tx0 = fr.right - fr.blockWidth, ty0 = fr.bottom - fr.blockHeight;
    p.rect(tx0, ty0, fr.right, fr.bottom, "#000000", "#ffffff", 0.5, "titleblock");
    const double rowH = fr.blockHeight / 8.0;
    double ty = ty0 + rowH * 0.9;
    for (size_t k = 0; k < text.title.size() && k < 3; ++k, ty += rowH)
        p.text(tx0 + 2, ty, text.title[k], k == 0 ? 2.8 : 2.2, -1, 0, k == 0, "#000000", "title");
    ty = ty0 + rowH * 3.9;
    p.line(tx0, ty - rowH * 0.75, fr.right, ty - rowH * 0.75, "#000000", 0.3, "titleblock");
    for (const std::string& r : rows) {
        p.text(tx0 + 2, ty, r, 2.2, -1, 0, false, "#000000", "titleblock");
        ty += rowH;
    }
}

// An overview sheet: the strands of the plant with the sheets that draw them.
void draw_overview(Sheet& sh, const SheetFormat& f, const SheetText& text, const std::vector<std::string>& entries,
                   size_t first, size_t rows, size_t columns, int number, int count) {
    const Frame fr = frame_of(f);
    const bool en = text.english;
    sh.page.width = f.width * kPt;
    sh.page.height = f.height * kPt;
    Painter p{sh.page, -1};
    p.rect(0, 0, f.width, f.height, "none", "#ffffff", 0, "sheet");
    p.rect(fr.left, fr.top, fr.right, fr.bottom, "#000000", "none", 0.7, "frame");
    p.text(fr.left + 4, fr.top + 9, tr(en, "Übersicht der Stränge", "Overview of the strands"), 4.0, -1, 0, true,
           "#000000", "overview-title");
    const double colWidth = (fr.right - fr.left - 8) / static_cast<double>(columns);
    for (size_t k = first; k < entries.size() && k < first + rows * columns; ++k) {
        const size_t at = k - first;
        const double x = fr.left + 4 + static_cast<double>(at / rows) * colWidth;
        const double y = fr.top + 18 + static_cast<double>(at % rows) * 4.5;
        p.text(x, y, entries[k], 2.2, -1, 0, false, "#000000", "overview");
    }
    title_block(p, fr, text,
                {tr(en, "Variante: ", "Variant: ") + text.variant +
                     (text.flowCase.empty() ? std::string() : tr(en, "   Lastfall: ", "   flow case: ") + text.flowCase),
                 tr(en, "Übersicht", "Overview"), "",
                 tr(en, "Berechnet am ", "Computed on ") + text.date + "   RIVOLA " + text.version,
                 tr(en, "Blatt ", "Sheet ") + std::to_string(number) + tr(en, " von ", " of ") + std::to_string(count)});
}

void draw_sheet(Sheet& sh, const ProfileModel& m, const SheetFormat& f, const SheetText& text, int number, int count,
                bool continuesLeft, bool continuesRight, double zBase, const std::vector<std::string>& alikeNames) {
    const Frame fr = frame_of(f);
    const bool en = text.english;
    const ProfilePanel& panel = m.panels[static_cast<size_t>(sh.panel)];
    sh.page.width = f.width * kPt;
    sh.page.height = f.height * kPt;
    Painter p{sh.page, sh.panel};
    p.rect(0, 0, f.width, f.height, "none", "#ffffff", 0, "sheet");
    p.rect(fr.left, fr.top, fr.right, fr.bottom, "#000000", "none", 0.7, "frame");
    const double sx = 1000.0 / sh.scales.length, sz = 1000.0 / sh.scales.height;   // mm per m
    auto X = [&](double x) { return fr.plotLeft + (x - sh.x0) * sx; };
    auto Y = [&](double z) { return fr.plotBottom - (z - zBase) * sz; };
    const double zTop = zBase + (fr.plotBottom - fr.plotTop) / sz;

    // grid and axes: heights on the left, stations below
    const double hStep = nice_step(zTop - zBase, 8);
    for (double z = std::ceil(zBase / hStep) * hStep; z <= zTop + 1e-6; z += hStep) {
        p.line(fr.plotLeft, Y(z), fr.plotRight, Y(z), "#e3e3e3", 0.3, "grid");
        p.text(fr.plotLeft - 1.5, Y(z) + 0.9, fixed(z, hStep < 0.1 ? 2 : hStep < 1 ? 1 : 0), 2.0, 1, 0, false,
               "#555555", "ztick");
    }
    p.text(fr.left + 3, fr.plotTop - 3, tr(en, "m NN", "m a.s.l."), 2.0, -1, 0, false, "#555555", "zunit");
    const double xStep = nice_step((fr.plotRight - fr.plotLeft) / sx, 10);
    for (double x = std::ceil(sh.x0 / xStep) * xStep; x <= sh.x1 + 1e-6; x += xStep) {
        p.line(X(x), fr.plotBottom, X(x), fr.plotBottom + 1.5, "#555555", 0.3, "xtick");
        p.text(X(x), fr.plotBottom + 5, station(x), 2.0, 0, 0, false, "#555555", "xtick");
    }
    p.line(fr.plotLeft, fr.plotTop, fr.plotLeft, fr.plotBottom, "#555555", 0.4, "axis");
    p.line(fr.plotLeft, fr.plotBottom, fr.plotRight, fr.plotBottom, "#555555", 0.4, "axis");

    bool drewTop = false, drewOver = false, drewPressure = false;
    // labels stand upright in a band above the section, at least a text
    // height apart; a label pushed aside is joined to its element by a leader
    const double labelGap = 3.2, labelFoot = fr.plotTop - 2;
    double lastLabel = -1e9, lastLevel = -1e9;
    for (const ProfileElement& e : panel.elements) {
        ProfileEnd a, b;
        if (!clip(e.up, e.down, sh.x0, sh.x1, a, b)) continue;
        // the water body, then invert, top, water level and energy line
        if (b.x > a.x)
            p.add(Shape::Kind::Polygon, {{X(a.x), Y(a.z)}, {X(b.x), Y(b.z)}, {X(b.x), Y(b.wsp)}, {X(a.x), Y(a.wsp)}},
                  "none", "#d6e8ff", 0, "water");
        p.line(X(a.x), Y(a.z), X(b.x), Y(b.z), "#000000", 0.6, "invert");
        if (a.hasTop && b.hasTop) {
            p.line(X(a.x), Y(a.top), X(b.x), Y(b.top), "#8b5a2b", 0.4, "top");
            drewTop = true;
        }
        p.line(X(a.x), Y(a.wsp), X(b.x), Y(b.wsp), "#1565c0", 0.7, "wsp");
        p.line(X(a.x), Y(a.e), X(b.x), Y(b.e), "#d32f2f", 0.4, "energy", "3 1.5");
        // the element's boundary and name with its description, upright above the section
        if (e.up.x >= sh.x0 && e.up.x <= sh.x1) {
            const double top = std::max({a.wsp, a.e, a.hasTop ? a.top : a.z});
            const double x = X(a.x), at = std::max(x, lastLabel + labelGap);
            lastLabel = at;
            p.line(x, Y(a.z), x, Y(top) - 1, "#9e9e9e", 0.2, "boundary");
            p.add(Shape::Kind::Polyline, {{x, Y(top) - 1}, {x, labelFoot + 4}, {at, labelFoot + 1}}, "#9e9e9e", "none",
                  0.2, "leader");
            std::string label = e.name;
            if (!e.description.empty()) label += "  " + e.description;
            p.text(at + 0.7, labelFoot, support::ucut(support::trim(label), 34), 2.0, -1, -90, false, "#000000",
                   "label");
        }
        // water levels at the ends of structures; crest and invert at weirs
        if (annotated(e.letter)) {
            for (const ProfileEnd* end : {&e.up, &e.down}) {
                if (end->x < sh.x0 || end->x > sh.x1) continue;
                // a level is written where there is room for it beside the last one
                if (X(end->x) - lastLevel < 9.0) continue;
                lastLevel = X(end->x);
                const bool up = end == &e.up;
                p.text(X(end->x) + (up ? 1.6 : -0.6), Y(end->wsp) + 1.0, fixed(end->wsp, 2), 1.8, up ? -1 : 1, 0, false,
                       "#1565c0", "wsp-level");
            }
            if (e.letter == 'U') {
                p.text(X(e.up.x) + 1.6, Y(e.up.z) + 3.2, tr(en, "Sohle ", "invert ") + fixed(e.up.z, 2), 1.8, -1, 0,
                       false, "#000000", "weir-invert");
                p.text(X(e.up.x) + 1.6, Y(e.up.crown) - 1.2, tr(en, "Krone ", "crest ") + fixed(e.up.crown, 2), 1.8,
                       -1, 0, false, "#2e7d32", "weir-crest");
            }
        }
        // the limit of the plant's capacity
        if (text.markIsys == e.isys) {
            const ProfileEnd& end = text.markEnd == 1 ? e.down : e.up;
            if (end.x >= sh.x0 && end.x <= sh.x1) {
                Shape& c = p.add(Shape::Kind::Circle, {{X(end.x), Y(end.wsp)}}, "#c62828", "none", 0.8, "limit");
                c.r = 2.5 * kPt;
                p.text(X(end.x) + 3, Y(end.wsp) - 3, tr(en, "maßgebend für die Kapazität", "limits the capacity"), 2.2,
                       -1, 0, true, "#c62828", "limit");
            }
        }
        // overtopping and pressure flow, each with its own mark
        for (const ProfileEnd* end : {&e.up, &e.down}) {
            if (end->over.empty() || end->x < sh.x0 || end->x > sh.x1) continue;
            const double x = X(end->x), y = Y(end->wsp) - 2.5;
            if (end->over == "d") {
                p.rect(x - 1, y - 1, x + 1, y + 1, "none", "#6a1b9a", 0, "pressure");
                drewPressure = true;
            } else {
                p.add(Shape::Kind::Polygon, {{x, y + 1.2}, {x - 1.2, y - 1}, {x + 1.2, y - 1}}, "none", "#c62828", 0,
                      "overtopping");
                drewOver = true;
            }
        }
    }
    if (!alikeNames.empty())
        p.text(fr.plotLeft + 2, fr.plotBottom - 3,
               also(alikeNames, en) + tr(en, " (Höhen auf 1 mm gleich)", " (levels alike within 1 mm)"), 2.2, -1, 0,
               true, "#000000", "alike");
    if (panel.boundary && panel.boundaryX >= sh.x0 && panel.boundaryX <= sh.x1)
        p.text(X(panel.boundaryX) - 1, Y(panel.boundaryLevel) - 1.5,
               tr(en, "Unterwasser ", "outlet level ") + fixed(panel.boundaryLevel, 2), 1.8, 1, 0, false, "#1565c0",
               "outlet-level");
    // match lines where the strand goes on
    if (continuesRight) {
        p.line(fr.plotRight, fr.plotTop, fr.plotRight, fr.plotBottom, "#000000", 0.5, "matchline", "6 1.5 1 1.5");
        p.text(fr.plotRight - 1, fr.plotTop + 3, tr(en, "weiter auf Blatt ", "continued on sheet ") + std::to_string(number + 1),
               2.0, 1, 0, false, "#000000", "matchline");
    }
    if (continuesLeft) {
        p.line(fr.plotLeft, fr.plotTop, fr.plotLeft, fr.plotBottom, "#000000", 0.5, "matchline", "6 1.5 1 1.5");
        p.text(fr.plotLeft + 1, fr.plotTop + 3, tr(en, "Fortsetzung von Blatt ", "continued from sheet ") + std::to_string(number - 1),
               2.0, -1, 0, false, "#000000", "matchline");
    }

    // legend of what this sheet draws
    struct Entry {
        const char* de;
        const char* en;
        std::string colour, dash;
        bool shown;
    };
    const Entry legend[] = {{"Sohle", "invert", "#000000", "", true},
                            {"Oberkante", "top of section", "#8b5a2b", "", drewTop},
                            {"Wasserspiegel", "water level", "#1565c0", "", true},
                            {"Energielinie", "energy line", "#d32f2f", "3 1.5", true},
                            {"Überstau", "overtopping", "#c62828", "", drewOver},
                            {"Druckabfluss", "pressure flow", "#6a1b9a", "", drewPressure}};
    double lx = fr.left + 4;
    const double ly = fr.bottom - 4;
    for (const Entry& en2 : legend) {
        if (!en2.shown) continue;
        p.line(lx, ly - 0.8, lx + 8, ly - 0.8, en2.colour, 0.7, "legend", en2.dash);
        p.text(lx + 10, ly, en ? en2.en : en2.de, 2.0, -1, 0, false, "#000000", "legend");
        lx += 12 + 2.0 * 0.55 * std::string(en ? en2.en : en2.de).size();
    }

    // scale bar of the lengths: four fields of a round length
    const double barM = nice_step(60.0 / sx, 1);
    const double bx = fr.left + 4, by = fr.bottom - 12;
    for (int k = 0; k < 4; ++k)
        p.rect(bx + k * barM * sx / 4, by, bx + (k + 1) * barM * sx / 4, by + 1.5, "#000000",
               k % 2 ? "#ffffff" : "#000000", 0.3, "scalebar");
    p.text(bx, by - 1, "0", 1.8, 0, 0, false, "#000000", "scalebar");
    p.text(bx + barM * sx, by - 1, fixed(barM, barM < 1 ? 1 : 0) + " m", 1.8, 0, 0, false, "#000000", "scalebar");

    title_block(p, fr, text,
                {tr(en, "Variante: ", "Variant: ") + text.variant +
                     (text.flowCase.empty() ? std::string() : tr(en, "   Lastfall: ", "   flow case: ") + text.flowCase),
                 tr(en, "Strang: ", "Strand: ") + panel.title + strand_course(panel, en),
                 tr(en, "Maßstab Längen 1:", "Scale lengths 1:") + std::to_string(sh.scales.length) +
                     tr(en, ", Höhen 1:", ", heights 1:") + std::to_string(sh.scales.height),
                 tr(en, "Berechnet am ", "Computed on ") + text.date + "   RIVOLA " + text.version,
                 tr(en, "Blatt ", "Sheet ") + std::to_string(number) + tr(en, " von ", " of ") + std::to_string(count)});
}

}  // namespace

bool sheet_format(const std::string& name, SheetFormat& f) {
    const std::string n = support::upper(support::trim(name));
    if (n == "A1") f = {"A1", 841, 594};
    else if (n == "A3") f = {"A3", 420, 297};
    else if (n == "A4") f = {"A4", 297, 210};
    else return false;
    return true;
}

int length_scale(double extent, double room) {
    for (int s : kLengthSeries)
        if (extent * 1000.0 / s <= room) return s;
    return kLengthSeries[std::size(kLengthSeries) - 1];
}

int height_scale(double extent, double room) {
    for (int s : kHeightSeries)
        if (extent * 1000.0 / s <= room) return s;
    return kHeightSeries[std::size(kHeightSeries) - 1];
}

std::vector<Sheet> layout_sheets(const ProfileModel& m, const SheetFormat& f, const SheetText& text) {
    const Frame fr = frame_of(f);
    const double width = fr.plotRight - fr.plotLeft, height = fr.plotBottom - fr.plotTop;
    struct Part {
        Sheet sheet;
        bool left, right;
        double zBase;
    };
    std::vector<Part> parts;
    // strands alike an earlier one are drawn with it: representative -> the others' names
    std::vector<size_t> drawn;
    std::vector<std::vector<std::string>> alikeNames(m.panels.size());
    for (size_t k = 0; k < m.panels.size(); ++k) {
        const ProfilePanel& panel = m.panels[k];
        if (panel.elements.empty()) continue;
        bool grouped = false;
        for (size_t d : drawn)
            if (alike(m.panels[d], panel)) {
                alikeNames[d].push_back(panel.title);
                grouped = true;
                break;
            }
        if (grouped) continue;
        drawn.push_back(k);
        double x0 = 1e30, x1 = -1e30, z0 = 1e30, z1 = -1e30;
        for (const ProfileElement& e : panel.elements) {
            for (const ProfileEnd* end : {&e.up, &e.down}) {
                x0 = std::min(x0, static_cast<double>(end->x));
                x1 = std::max(x1, static_cast<double>(end->x));
                z0 = std::min(z0, static_cast<double>(end->z));
                for (float z : {end->wsp, end->e, end->hasTop ? end->top : end->z}) z1 = std::max(z1, static_cast<double>(z));
            }
        }
        const double length = std::max(x1 - x0, 1.0);
        SheetScales sc;
        sc.length = length_scale(length, width);
        // a quarter of the height stays free for the labels above the section
        sc.height = height_scale(std::max(z1 - z0, 0.1), 0.75 * height);
        const double step = nice_step(z1 - z0 + 0.1, 8);
        const double zBase = std::floor((z0 - 0.05 * (z1 - z0)) / step) * step;
        const double span = width * sc.length / 1000.0;   // metres on one sheet
        const int n = std::max(1, static_cast<int>(std::ceil(length / span - 1e-9)));
        for (int s = 0; s < n; ++s) {
            Part part;
            part.sheet.panel = static_cast<int>(k);
            part.sheet.scales = sc;
            part.sheet.x0 = x0 + s * span;
            part.sheet.x1 = std::min(x0 + (s + 1) * span, x1);
            part.left = s > 0;
            part.right = s + 1 < n;
            part.zBase = zBase;
            parts.push_back(part);
        }
    }
    // a plant of several strands opens with an overview: each strand with its sheets
    std::vector<size_t> strands;   // the panels drawn, in order
    for (const Part& part : parts)
        if (strands.empty() || strands.back() != static_cast<size_t>(part.sheet.panel))
            strands.push_back(static_cast<size_t>(part.sheet.panel));
    const size_t rows = static_cast<size_t>((fr.bottom - fr.blockHeight - 6 - (fr.top + 18)) / 4.5);
    const size_t columns = f.width < 300 ? 2 : f.width < 500 ? 3 : 5;
    const size_t overviews = strands.size() > 1 ? (strands.size() + rows * columns - 1) / (rows * columns) : 0;
    const int count = static_cast<int>(overviews + parts.size());
    std::vector<std::string> entries;
    for (size_t s : strands) {
        size_t a = 0, b = 0;   // first and last sheet of the strand
        for (size_t k = 0; k < parts.size(); ++k) {
            if (static_cast<size_t>(parts[k].sheet.panel) != s) continue;
            if (a == 0) a = overviews + k + 1;
            b = overviews + k + 1;
        }
        entries.push_back(m.panels[s].title + " - " + tr(text.english, "Blatt ", "sheet ") + std::to_string(a) +
                          (b > a ? "-" + std::to_string(b) : std::string()) +
                          (alikeNames[s].empty() ? std::string() : "  (" + also(alikeNames[s], text.english) + ")"));
    }
    std::vector<Sheet> sheets;
    for (size_t o = 0; o < overviews; ++o) {
        Sheet sh;
        sh.panel = -1;
        draw_overview(sh, f, text, entries, o * rows * columns, rows, columns, static_cast<int>(o) + 1, count);
        sheets.push_back(std::move(sh));
    }
    for (size_t k = 0; k < parts.size(); ++k) {
        Part& part = parts[k];
        draw_sheet(part.sheet, m, f, text, static_cast<int>(overviews + k) + 1, count, part.left, part.right,
                   part.zBase, alikeNames[static_cast<size_t>(part.sheet.panel)]);
        sheets.push_back(std::move(part.sheet));
    }
    return sheets;
}

std::vector<FileOutcome> write_sheets(RunContext& ctx, const ProfileModel& m) {
    SheetFormat f;
    if (!sheet_format(ctx.run.sheet, f)) sheet_format("A3", f);
    SheetText text;
    for (int k = 1; k <= 3; ++k)
        if (!support::trim(ctx.plant.all.titel[static_cast<size_t>(k)]).empty())
            text.title.push_back(support::trim(ctx.plant.all.titel[static_cast<size_t>(k)]));
    // the variant's own name: a flow case runs under the variant's name and its own
    std::string name = ctx.run.dbName;
    const std::string own = "_" + ctx.run.caseName;
    if (!ctx.run.caseName.empty() && name.size() > own.size() && name.compare(name.size() - own.size(), own.size(), own) == 0)
        name.erase(name.size() - own.size());
    text.variant = name + ctx.run.dbExt;
    text.flowCase = ctx.run.caseName;
    text.date = ctx.run.runDate;
    text.version = ctx.settings.version.empty() ? RIVOLA_VERSION : ctx.settings.version;
    text.english = m.english;
    text.markIsys = ctx.run.markIsys;
    text.markEnd = ctx.run.markEnd;
    const std::vector<Sheet> sheets = layout_sheets(m, f, text);
    // the sheets of an earlier drawing beyond this one's would pass for its own
    remove_earlier_sheets(ctx, sheets.size());
    if (sheets.empty()) return {};
    std::vector<const ProfileDrawing*> pages;
    for (const Sheet& s : sheets) pages.push_back(&s.page);
    // The PDF of all sheets and the SVG of each sheet are written at the same
    // time when the run has two threads or more; the outcomes come in the same
    // order either way (the PDF first).
    FileOutcome pdfOutcome;
    auto writePdf = [&]() {
        support::AtomicFile pdf(ctx.run.basePath + "_profile.pdf");
        if (pdf.is_open()) write_pdf(pages, text.variant, pdf.out());
        pdfOutcome = commit_file(pdf);
    };
    std::thread pdfWriter;
    if (ctx.run.worker_threads() > 1) pdfWriter = std::thread(writePdf);
    else writePdf();
    std::vector<FileOutcome> svgOutcomes;
    for (size_t k = 0; k < sheets.size(); ++k) {
        char n[48];
        std::snprintf(n, sizeof n, "_profile_%03zu.svg", k + 1);
        support::AtomicFile svg(ctx.run.basePath + n);
        if (svg.is_open()) write_drawing_svg(sheets[k].page, svg.out());
        svgOutcomes.push_back(commit_file(svg));
    }
    if (pdfWriter.joinable()) pdfWriter.join();
    svgOutcomes.insert(svgOutcomes.begin(), std::move(pdfOutcome));
    return svgOutcomes;
}

}  // namespace rivola::output
