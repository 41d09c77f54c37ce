#include "output/profile_drawing.h"

#include <algorithm>
#include <sstream>
#include <array>
#include <cmath>
#include <iterator>
#include <thread>
#include <cstdio>
#include <fstream>
#include <map>

#include "database/column_reference.h"
#include "hydraulics/freeboard.h"
#include "output/listing_texts.h"
#include "output/profile_sheets.h"
#include "output/m_output_eingabe.h"
#include "output/result_files.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

namespace {

// ---------------------------------------------------------------- model ---

// Height of a profile's top above its invert: crown rise plus top layer.
float profile_height(const EndProfile& p) {
    const int n = std::clamp(p.n, 0, 6);
    return p.HS + p.H[n];
}

bool finite(float v) { return std::isfinite(v); }

// A ground level that some rule has set.
bool ground_known(float v) { return finite(v) && v > kNoGround + 0.5f; }

std::string slot(const EndResult& r, int k) { return support::trim(r.bem[k]); }

ProfileEnd end_of(const Element& e, int end, float x, float ground) {
    const EndResult& r = e.res[end];
    const EndProfile& prof = e.prof[end == 2 ? kProfUp : kProfDown];
    ProfileEnd pe;
    pe.x = x;
    pe.z = r.z;
    pe.wsp = r.z + r.h;
    pe.e = r.z + r.he;
    pe.crown = r.z + profile_height(prof);
    pe.top = ground;
    pe.hasTop = ground_known(ground);
    pe.gr = slot(r, 1) == "gr" || slot(r, 2) == "gr";
    // the remark of the computation; a weir's or wall's "ü" is water over its
    // crest or opening, not an overtopping
    const std::string s3 = slot(r, 3);
    if (s3 == "d" || (s3 == "ü" && hyd::has_channel_top(e))) pe.over = s3;
    return pe;
}

ProfileElement element_of(const RunContext& ctx, int i, const std::vector<std::array<float, 3>>& g) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    ProfileElement pe;
    pe.isys = i;
    pe.name = e.bez;
    pe.description = support::trim(e.beschreibung);
    pe.letter = e.bez.empty() ? ' ' : e.bez[0];
    pe.ityp = e.ityp;
    const float L = e.L > 0.0f ? e.L : 0.0f;
    // The flow length runs to the upstream end of an element, for a
    // confluence to its downstream end.
    const float xUp = e.ityp == T_Z ? e.flaenge - L : e.flaenge;
    const float xDown = e.ityp == T_Z ? e.flaenge : e.flaenge + L;
    pe.Q = e.res[1].Q;
    if (e.izu[1] > 0) pe.from = support::trim(p.el[e.izu[1]].bez);
    if (e.iab[1] > 0) pe.to = support::trim(p.el[e.iab[1]].bez);
    pe.up = end_of(e, 2, xUp, g[i][1]);
    pe.down = end_of(e, 1, xDown, g[i][2]);
    // Overtopping of an open channel and pressure in a closed section that is
    // not built for it, as the check list tells them.
    for (int end = 1; end <= 2; ++end) {
        ProfileEnd& x = end == 2 ? pe.up : pe.down;
        x.freeboard = hyd::end_freeboard(p, i, end);
        if (x.freeboard && *x.freeboard < 0.0f) x.over = "ü";
        if (hyd::surcharged(p, i, end)) x.over = "d";
    }
    if (e.ityp == T_W) {
        if (e.iord >= 1 && e.iord < static_cast<int>(p.wand.size()) && p.wand[e.iord].H > 0.0f)
            pe.opening = p.wand[e.iord].H;
        else if (given(e.hve.H) && e.hve.H > 0.0f)
            pe.opening = e.hve.H;
    }
    return pe;
}

// The label of an element's type; the pass-through element E has none.
const char* type_name(char letter, bool en) {
    const input::ElementType* t = letter == 'E' ? nullptr : input::element_type(letter);
    return t ? (en ? t->en : t->de) : "";
}

// Links every element of a panel to the elements it discharges into and
// receives from, when those are drawn in the same panel; marks the plant
// outlet.
void link(const Plant& p, ProfilePanel& panel) {
    std::map<int, int> at;
    for (size_t k = 0; k < panel.elements.size(); ++k) at[panel.elements[k].isys] = static_cast<int>(k);
    for (auto& pe : panel.elements) {
        const Element& e = p.el[pe.isys];
        if (auto it = at.find(e.iab[1]); e.iab[1] > 0 && it != at.end()) pe.next = it->second;
        if (auto it = at.find(e.izu[1]); e.izu[1] > 0 && it != at.end()) pe.prev = it->second;
        if (pe.isys == p.nsys) {
            panel.boundary = true;
            panel.boundaryX = pe.down.x;
            panel.boundaryLevel = pe.down.wsp;
        }
    }
}

}  // namespace

ProfileModel profile_model(const RunContext& ctx) {
    const Plant& p = ctx.plant;
    ProfileModel m;
    m.english = ctx.english();
    const bool en = m.english;
    if (p.all.Freibord != kMissing && p.all.Freibord >= 0.0f) m.required = p.all.Freibord;
    std::string first = ctx.settings.programName + " " + ctx.settings.version + " - " +
                        (en ? "hydraulic profile" : "Hydraulischer Längsschnitt");
    m.heading.push_back(first);
    std::string variant = ctx.run.dbName + ctx.run.dbExt;
    if (!ctx.run.runDate.empty()) variant += (variant.empty() ? "" : "   ") + ctx.run.runDate;
    if (!variant.empty()) m.heading.push_back(variant);
    for (int k = 1; k <= 3; ++k)
        if (!support::trim(p.all.titel[k]).empty()) m.heading.push_back(support::rtrim(p.all.titel[k]));

    const auto g = ground_levels(ctx);  // [i][1] upstream, [i][2] downstream end
    auto plotted = [&](int i) { return p.el[i].plotflag != 'N'; };

    // The plotted elements of each strand in flow order, gathered in one
    // sweep over the element table (a plant has up to thousands of strands).
    int strands = 0;
    for (int i = 1; i <= p.nsys; ++i) strands = std::max(strands, p.el[i].istrang);
    std::vector<std::vector<int>> ofStrand(static_cast<size_t>(std::max(strands, 0)) + 1);
    for (int i = 1; i <= p.nsys; ++i)
        if (p.el[i].istrang >= 1 && plotted(i)) ofStrand[static_cast<size_t>(p.el[i].istrang)].push_back(i);
    for (int s = 1; s <= strands; ++s) {
        ProfilePanel panel;
        panel.title = s == 1 ? (en ? "main strand" : "Hauptstrang")
                             : (en ? "strand " : "Strang ") + std::to_string(s);
        for (int i : ofStrand[static_cast<size_t>(s)]) panel.elements.push_back(element_of(ctx, i, g));
        if (panel.elements.empty()) continue;
        link(p, panel);
        m.panels.push_back(std::move(panel));
    }

    // Plot paths: the elements that carry the same plot path mark, in the
    // order in which the marks first appear.
    std::vector<std::string> paths;
    for (int i = 1; i <= p.nsys; ++i) {
        const std::string w = support::trim(p.el[i].plotweg);
        if (!w.empty() && std::find(paths.begin(), paths.end(), w) == paths.end()) paths.push_back(w);
    }
    for (const auto& w : paths) {
        ProfilePanel panel;
        panel.title = (en ? "plot path " : "Plotweg ") + w;
        for (int i = 1; i <= p.nsys; ++i)
            if (support::trim(p.el[i].plotweg) == w && plotted(i)) panel.elements.push_back(element_of(ctx, i, g));
        if (panel.elements.empty()) continue;
        link(p, panel);
        m.panels.push_back(std::move(panel));
    }
    return m;
}

double nice_step(double range, int maxTicks) {
    if (!(range > 0.0) || !std::isfinite(range)) return 1.0;
    if (maxTicks < 1) maxTicks = 1;
    const double raw = range / maxTicks;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / mag;
    double f = 10.0;
    if (norm <= 1.0 + 1e-9) f = 1.0;
    else if (norm <= 2.0 + 1e-9) f = 2.0;
    else if (norm <= 5.0 + 1e-9) f = 5.0;
    return f * mag;
}

// --------------------------------------------------------------- layout ---

namespace {

constexpr double kMinWidth = 1400.0;
constexpr double kLeft = 90.0;      // room for the elevation ticks
constexpr double kRight = 50.0;
constexpr double kPlotH = 380.0;    // height of a panel's plot area
constexpr double kLabelSize = 11.0;
constexpr double kLabelGap = 14.0;  // distance between neighbouring labels
constexpr double kCharW = 0.62;     // mean character width per font size
constexpr double kJoin = 0.005;     // ends closer than this (m) meet

const char* kInvert = "#000000";
const char* kTop = "#8b5a2b";
const char* kWater = "#d6e8ff";
const char* kWsp = "#1565c0";
const char* kEnergy = "#d32f2f";
const char* kWeir = "#2e7d32";
const char* kWall = "#616161";
const char* kGr = "#ef6c00";
const char* kOver = "#c62828";       // overtopping: red
const char* kPressure = "#6a1b9a";   // pressure flow: purple
const char* kShort = "#f57c00";      // short of the required freeboard: orange
const char* kGrid = "#e3e3e3";
const char* kAxis = "#555555";
const char* kLeader = "#9e9e9e";

double text_w(const std::string& s, double size) { return static_cast<double>(support::ulen(s)) * size * kCharW; }

std::string fixed(double v, int dec) {
    if (std::fabs(v) < 0.5 * std::pow(10.0, -dec)) v = 0.0;  // no "-0.0"
    return support::fixed_decimals(v, dec);
}

int decimals(double step) {
    const double l = std::log10(step);
    return l >= 0.0 ? 0 : static_cast<int>(std::ceil(-l - 1e-9));
}

// Colour and dash pattern of the water level of the k-th other flow case.
struct CaseStyle {
    const char* colour;
    const char* dash;
};
CaseStyle case_style(size_t k) {
    static const CaseStyle styles[] = {{"#2ca02c", "8 4"}, {"#9467bd", "3 3"},   {"#8c564b", "10 3 2 3"},
                                       {"#e377c2", "5 2"}, {"#17becf", "12 4"}, {"#bcbd22", "2 2"}};
    return styles[k % (sizeof styles / sizeof styles[0])];
}

// The text of one legend row for a remark code of the listings.
std::string remark_text(const std::string& code, bool en) {
    int n = 0;
    const LegendRow* rows = legend_rows(n);
    for (int k = 0; k < n; ++k)
        if (code == rows[k].code) return en ? rows[k].en : rows[k].de;
    return "";
}

// Shapes of one panel or of the page, in drawing order by layer.
struct Layers {
    std::vector<Shape> grid, water, lines, structures, marks, labels;
    // moves the shapes out, layer after layer
    void move_to(std::vector<Shape>& out) {
        for (auto* l : {&grid, &water, &lines, &structures, &marks, &labels})
            out.insert(out.end(), std::make_move_iterator(l->begin()), std::make_move_iterator(l->end()));
    }
};

Shape line(double x1, double y1, double x2, double y2, const std::string& stroke, double w,
           const std::string& role, int isys = 0, const std::string& dash = "") {
    Shape s;
    s.kind = Shape::Kind::Line;
    s.pts = {{x1, y1}, {x2, y2}};
    s.stroke = stroke;
    s.width = w;
    s.role = role;
    s.isys = isys;
    s.dash = dash;
    return s;
}

Shape poly(Shape::Kind kind, std::vector<SvgPoint> pts, const std::string& stroke, const std::string& fill,
           double w, const std::string& role, int isys = 0) {
    Shape s;
    s.kind = kind;
    s.pts = std::move(pts);
    s.stroke = stroke;
    s.fill = fill;
    s.width = w;
    s.role = role;
    s.isys = isys;
    return s;
}

Shape text(double x, double y, const std::string& t, double size, int anchor, const std::string& role,
           const std::string& fill = "#000000", bool bold = false, double rotate = 0.0, int isys = 0) {
    Shape s;
    s.kind = Shape::Kind::Text;
    s.pts = {{x, y}};
    s.text = t;
    s.size = size;
    s.anchor = anchor;
    s.role = role;
    s.fill = fill;
    s.bold = bold;
    s.rotate = rotate;
    s.isys = isys;
    return s;
}

Shape circle(double x, double y, double r, const std::string& fill, const std::string& role, int isys) {
    Shape s;
    s.kind = Shape::Kind::Circle;
    s.pts = {{x, y}};
    s.r = r;
    s.fill = fill;
    s.stroke = "#ffffff";
    s.width = 1.0;
    s.role = role;
    s.isys = isys;
    return s;
}

// Overtopping: a triangle pointing up from the water surface.
Shape triangle(double x, double y, double r, const std::string& fill, const std::string& role, int isys) {
    return poly(Shape::Kind::Polygon, {{x, y - r}, {x + r, y + r * 0.8}, {x - r, y + r * 0.8}}, "#ffffff", fill, 1.0,
                role, isys);
}

// Pressure flow: a square.
Shape square(double x, double y, double r, const std::string& fill, const std::string& role, int isys) {
    return poly(Shape::Kind::Polygon, {{x - r, y - r}, {x + r, y - r}, {x + r, y + r}, {x - r, y + r}}, "#ffffff",
                fill, 1.0, role, isys);
}

// The downstream water level symbol: an open triangle standing on the level
// with two short lines below it.
void water_level_symbol(std::vector<Shape>& out, double x, double y, const std::string& role) {
    out.push_back(poly(Shape::Kind::Polygon, {{x - 7, y - 12}, {x + 7, y - 12}, {x, y - 1}}, kWsp, "#ffffff",
                       1.4, role));
    out.push_back(line(x - 7, y + 3, x + 7, y + 3, kWsp, 1.2, role));
    out.push_back(line(x - 4, y + 6, x + 4, y + 6, kWsp, 1.2, role));
}

void weir_symbol(std::vector<Shape>& out, double x, double yBase, double yCrest, const std::string& role,
                 int isys) {
    out.push_back(line(x, yBase, x, yCrest, kWeir, 3.5, role, isys));
    out.push_back(poly(Shape::Kind::Polygon, {{x - 5, yCrest - 8}, {x + 5, yCrest - 8}, {x, yCrest}}, kWeir,
                       kWeir, 1.0, role, isys));
}

// Horizontal positions of labels of a minimum distance `gap`, as near to
// their wished positions `want` (ascending) as they can be, inside [lo, hi]:
// crowded labels are gathered into groups that centre on their wishes.
std::vector<double> spread(const std::vector<double>& want, double gap, double lo, double hi) {
    struct Group {
        size_t first, count;
        double sum;  // sum of (wish - offset in the group)
        double pos() const { return sum / static_cast<double>(count); }
    };
    std::vector<Group> groups;
    for (size_t i = 0; i < want.size(); ++i) {
        groups.push_back({i, 1, want[i]});
        while (groups.size() >= 2) {
            Group& a = groups[groups.size() - 2];
            const Group& b = groups.back();
            if (a.pos() + static_cast<double>(a.count) * gap <= b.pos() + 1e-9) break;
            // every member of b moves a.count places further into the group
            a.sum += b.sum - static_cast<double>(b.count) * static_cast<double>(a.count) * gap;
            a.count += b.count;
            groups.pop_back();
        }
    }
    std::vector<double> x(want.size());
    for (const auto& g : groups)
        for (size_t k = 0; k < g.count; ++k) x[g.first + k] = g.pos() + static_cast<double>(k) * gap;
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = std::max(x[i], lo);
        if (i > 0) x[i] = std::max(x[i], x[i - 1] + gap);
    }
    for (size_t i = x.size(); i-- > 0;) {
        x[i] = std::min(x[i], hi);
        if (i + 1 < x.size()) x[i] = std::min(x[i], x[i + 1] - gap);
    }
    return x;
}

std::string label_of(const ProfileElement& e, bool en) {
    std::string t = e.name;
    const std::string type = type_name(e.letter, en);
    if (!type.empty()) t += " " + type;
    std::vector<std::string> marks;
    auto add = [&marks](const std::string& m) {
        if (!m.empty() && std::find(marks.begin(), marks.end(), m) == marks.end()) marks.push_back(m);
    };
    if (e.up.gr || e.down.gr) add("gr");
    add(e.up.over);
    add(e.down.over);
    for (const auto& m : marks) t += "  " + m;
    return t;
}

struct Range {
    double lo = 0, hi = 0;
    bool any = false;
    void add(double v) {
        if (!std::isfinite(v)) return;
        if (!any) lo = hi = v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        any = true;
    }
};

// Lays out one panel from the page position y; returns the y below it.
double layout_panel(const ProfilePanel& panel, int index, bool en, std::optional<float> required, double y,
                    double plotW, std::vector<Shape>& out) {
    Layers L;
    const auto& els = panel.elements;
    auto tag = [index](std::vector<Shape>& v, size_t from) {
        for (size_t k = from; k < v.size(); ++k) v[k].panel = index;
    };
    const size_t start = out.size();

    // Value ranges.
    Range xr, yr;
    for (const auto& e : els) {
        for (const ProfileEnd* pe : {&e.up, &e.down}) {
            xr.add(pe->x);
            yr.add(pe->z);
            yr.add(pe->wsp);
            yr.add(pe->e);
            yr.add(pe->crown);
            if (pe->hasTop) yr.add(pe->top);
        }
        for (const auto& w : e.caseWsp)
            for (float v : w)
                if (!std::isnan(v)) yr.add(v);
    }
    if (panel.boundary) yr.add(panel.boundaryLevel);
    if (!xr.any) xr.add(0.0);
    if (!yr.any) yr.add(0.0);
    double xspan = xr.hi - xr.lo;
    if (xspan < 1.0) {
        xr.lo -= (1.0 - xspan) / 2;
        xr.hi += (1.0 - xspan) / 2;
        xspan = 1.0;
    }
    const double xs = nice_step(xspan, std::max(2, static_cast<int>(plotW / 90.0)));
    const double ax0 = std::floor(xr.lo / xs + 1e-9) * xs;
    const double ax1 = std::ceil(xr.hi / xs - 1e-9) * xs;
    const double pad = std::max(0.06 * (yr.hi - yr.lo), 0.1);
    const double ys = nice_step(yr.hi - yr.lo + 2 * pad, static_cast<int>(kPlotH / 38.0));
    const double ay0 = std::floor((yr.lo - pad) / ys) * ys;
    const double ay1 = std::ceil((yr.hi + pad) / ys) * ys;

    // Labels: their texts fix the height of the band above the plot.
    std::vector<std::string> labels;
    double band = 40.0;
    for (const auto& e : els) {
        labels.push_back(label_of(e, en));
        band = std::max(band, text_w(labels.back(), kLabelSize) + 8.0);
    }
    const double titleY = y + 20.0;
    const double bandTop = titleY + 14.0;
    const double bandBottom = bandTop + band;
    const double plotTop = bandBottom + 34.0;
    const double plotBottom = plotTop + kPlotH;
    const double left = kLeft, right = kLeft + plotW;
    auto px = [&](double x) { return left + (x - ax0) / (ax1 - ax0) * plotW; };
    auto py = [&](double z) { return plotBottom - (z - ay0) / (ay1 - ay0) * kPlotH; };

    L.labels.push_back(text(left, titleY, panel.title, 14.0, -1, "panel-title", "#000000", true));

    // Grid, ticks and axes.
    const int dx = decimals(xs), dy = decimals(ys);
    const int nx = static_cast<int>(std::lround((ax1 - ax0) / xs));
    for (int k = 0; k <= nx; ++k) {
        const double v = ax0 + k * xs, X = px(v);
        L.grid.push_back(line(X, plotTop, X, plotBottom, kGrid, 0.8, "grid"));
        L.grid.push_back(line(X, plotBottom, X, plotBottom + 5, kAxis, 1.0, "tick"));
        L.labels.push_back(text(X, plotBottom + 18, fixed(v, dx), 11.0, 0, "xtick", kAxis));
    }
    const int ny = static_cast<int>(std::lround((ay1 - ay0) / ys));
    for (int k = 0; k <= ny; ++k) {
        const double v = ay0 + k * ys, Y = py(v);
        L.grid.push_back(line(left, Y, right, Y, kGrid, 0.8, "grid"));
        L.grid.push_back(line(left - 5, Y, left, Y, kAxis, 1.0, "tick"));
        L.labels.push_back(text(left - 8, Y + 4, fixed(v, dy), 11.0, 1, "ytick", kAxis));
    }
    L.grid.push_back(poly(Shape::Kind::Polygon,
                          {{left, plotTop}, {right, plotTop}, {right, plotBottom}, {left, plotBottom}}, kAxis,
                          "none", 1.0, "frame"));
    L.labels.push_back(text((left + right) / 2, plotBottom + 40, en ? "flow length [m]" : "Fließlänge [m]", 12.0,
                            0, "axis-title", kAxis));
    L.labels.push_back(text(24, (plotTop + plotBottom) / 2, en ? "elevation [m a.s.l.]" : "Höhe [m ü. NN]", 12.0,
                            0, "axis-title", kAxis, false, -90.0));

    // The elements.
    std::vector<double> want;
    for (size_t k = 0; k < els.size(); ++k) {
        const ProfileElement& e = els[k];
        const ProfileEnd &u = e.up, &d = e.down;
        const double X1 = px(u.x), X2 = px(d.x);
        const int id = e.isys;
        const bool closed = e.ityp == T_D || e.ityp == T_T;
        auto waterTop = [closed](const ProfileEnd& pe) {
            const float w = closed ? std::min(pe.wsp, pe.crown) : pe.wsp;
            return std::max(w, pe.z);
        };
        if (std::fabs(X2 - X1) >= 0.5)
            L.water.push_back(poly(Shape::Kind::Polygon,
                                   {{X1, py(u.z)}, {X2, py(d.z)}, {X2, py(waterTop(d))}, {X1, py(waterTop(u))}},
                                   "none", kWater, 0.0, "water", id));
        if (u.hasTop && d.hasTop) L.lines.push_back(line(X1, py(u.top), X2, py(d.top), kTop, 1.4, "top", id));
        if (closed)
            L.lines.push_back(line(X1, py(u.crown), X2, py(d.crown), kInvert, 1.0, "crown", id, "2 2"));
        L.lines.push_back(line(X1, py(u.z), X2, py(d.z), kInvert, 2.2, "invert", id));
        L.lines.push_back(line(X1, py(u.e), X2, py(d.e), kEnergy, 1.3, "energy", id, "6 3"));
        L.lines.push_back(line(X1, py(u.wsp), X2, py(d.wsp), kWsp, 2.0, "wsp", id));
        for (size_t c = 0; c < e.caseWsp.size(); ++c) {
            const auto& w = e.caseWsp[c];
            if (std::isnan(w[0]) || std::isnan(w[1])) continue;
            const CaseStyle st = case_style(c);
            L.lines.push_back(line(X1, py(w[0]), X2, py(w[1]), st.colour, 1.6, "wsp-case", id, st.dash));
            const ProfileElement* nx = e.next >= 0 ? &els[static_cast<size_t>(e.next)] : nullptr;
            if (nx && c < nx->caseWsp.size() && !std::isnan(nx->caseWsp[c][0]) && std::fabs(nx->up.x - d.x) < kJoin)
                L.lines.push_back(line(X2, py(w[1]), X2, py(nx->caseWsp[c][0]), st.colour, 1.2, "wsp-case-join", id));
        }

        // Where the element hands over to the next one at the same place, the
        // levels step from its outlet end to the next element's inlet end.
        const ProfileElement* nx_ = e.next >= 0 ? &els[static_cast<size_t>(e.next)] : nullptr;
        if (nx_ && std::fabs(nx_->up.x - d.x) < kJoin) {
            const ProfileEnd& n = nx_->up;
            L.lines.push_back(line(X2, py(d.z), X2, py(n.z), kInvert, 1.2, "invert-join", id));
            if (d.hasTop && n.hasTop) L.lines.push_back(line(X2, py(d.top), X2, py(n.top), kTop, 1.0, "top-join", id));
            L.lines.push_back(line(X2, py(d.e), X2, py(n.e), kEnergy, 1.0, "energy-join", id, "6 3"));
            L.lines.push_back(line(X2, py(d.wsp), X2, py(n.wsp), kWsp, 1.4, "wsp-join", id));
        }

        // Weirs and walls stand on the lower of the inverts that meet there.
        auto base = [&](float z) {
            float b = z;
            if (nx_ && std::fabs(nx_->up.x - d.x) < kJoin) b = std::min(b, nx_->up.z);
            if (e.prev >= 0) {
                const ProfileElement& pv = els[static_cast<size_t>(e.prev)];
                if (std::fabs(pv.down.x - u.x) < kJoin) b = std::min(b, pv.down.z);
            }
            return b;
        };
        if (e.ityp == T_U) {
            const float crest = u.z;
            float b = base(crest);
            if (b >= crest) b = crest - static_cast<float>(0.04 * (ay1 - ay0));
            weir_symbol(L.structures, X1, py(b), py(crest), "weir", id);
        } else if (e.ityp == T_W) {
            const float z = u.z;
            float top = std::max(u.crown, d.crown);
            if (u.hasTop) top = std::max(top, u.top);
            const float b = base(z);
            const float a = e.opening;
            if (a > 0.0f) {
                if (top > z + a) L.structures.push_back(line(X1, py(top), X1, py(z + a), kWall, 5.0, "wall", id));
                if (b < z) L.structures.push_back(line(X1, py(z), X1, py(b), kWall, 5.0, "wall", id));
                L.structures.push_back(poly(Shape::Kind::Polygon,
                                            {{X1 - 3, py(z + a)}, {X1 + 3, py(z + a)}, {X1 + 3, py(z)}, {X1 - 3, py(z)}},
                                            kWall, "#ffffff", 1.0, "wall-opening", id));
            } else {
                L.structures.push_back(line(X1, py(top), X1, py(b), kWall, 5.0, "wall", id));
            }
        }

        // Remarks at the ends: critical flow, water above the section, pressure.
        for (const ProfileEnd* pe : {&u, &d}) {
            const double X = px(pe->x), Y = py(pe->wsp);
            if (pe->gr) L.marks.push_back(circle(X, Y, 4.0, kGr, "gr", id));
            const double my = pe->gr ? Y - 10 : Y;
            if (pe->over == "ü") L.marks.push_back(triangle(X, my, 5.5, kOver, "over", id));
            if (pe->over == "d") L.marks.push_back(square(X, my, 4.0, kPressure, "pressure", id));
        }
        // The span of an overtopped channel in red with its largest excess,
        // a span short of the required freeboard in orange with its smallest
        // freeboard.
        std::optional<float> least;
        for (const ProfileEnd* pe : {&u, &d})
            if (pe->freeboard && (!least || *pe->freeboard < *least)) least = pe->freeboard;
        const bool over = least && *least < 0.0f;
        const bool lacking = least && !over && required && *least < *required;
        if (over || lacking) {
            const char* colour = over ? kOver : kShort;
            L.marks.push_back(line(X1, py(u.wsp), X2, py(d.wsp), colour, 3.2, over ? "overtopped" : "freeboard-short", id));
            const std::string value = over ? "+" + fixed(-100.0f * *least, 1) + " cm" : fixed(*least, 2) + " m";
            // the value where the span is wide enough to carry it
            if (std::fabs(X2 - X1) >= text_w(value, 10.0) + 4.0)
                L.marks.push_back(text((X1 + X2) / 2, py(std::max(u.wsp, d.wsp)) - 8, value, 10.0, 0,
                                   over ? "overtopped-value" : "freeboard-value", colour, true, 0.0, id));
        }
        want.push_back((X1 + X2) / 2);
    }

    if (panel.boundary) {
        const double X = px(panel.boundaryX), Y = py(panel.boundaryLevel);
        water_level_symbol(L.marks, X, Y, "boundary");
        L.marks.push_back(text(X - 12, Y - 16, fixed(panel.boundaryLevel, 2), 11.0, 1, "boundary", kWsp, true));
    }

    // Labels above the plot, upright text, in flow order where elements share
    // a place; a leader runs from each label to its element.
    std::vector<size_t> order(els.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return want[a] < want[b]; });
    std::vector<double> wish;
    for (size_t k : order) wish.push_back(want[k]);
    const std::vector<double> at = spread(wish, kLabelGap, left + 6, right - 6);
    for (size_t j = 0; j < order.size(); ++j) {
        const size_t k = order[j];
        const double lx = at[j];
        const int id = els[k].isys;
        L.labels.push_back(text(lx + 4, bandBottom, labels[k], kLabelSize, -1, "label", "#000000", false, -90.0, id));
        L.labels.push_back(poly(Shape::Kind::Polyline,
                                {{lx, bandBottom + 4}, {lx, bandBottom + 12}, {want[k], plotTop - 2}, {want[k], plotTop + 4}},
                                kLeader, "none", 0.7, "leader", id));
    }

    L.move_to(out);
    tag(out, start);
    return plotBottom + 70.0;
}

// The legend: a sample of every line and marker that the drawing holds, with
// its text, in rows.
double layout_legend(const ProfileModel& m, double y, double width, std::vector<Shape>& out) {
    struct Item {
        std::string text;
        int kind;
    };
    const bool en = m.english;
    bool closed = false, weir = false, wall = false, gr = false, over = false, pressure = false, lacking = false,
         boundary = false;
    for (const auto& panel : m.panels) {
        boundary = boundary || panel.boundary;
        for (const auto& e : panel.elements) {
            closed = closed || e.ityp == T_D || e.ityp == T_T;
            weir = weir || e.ityp == T_U;
            wall = wall || e.ityp == T_W;
            for (const ProfileEnd* pe : {&e.up, &e.down}) {
                gr = gr || pe->gr;
                over = over || pe->over == "ü";
                pressure = pressure || pe->over == "d";
                lacking = lacking || (m.required && pe->freeboard && *pe->freeboard >= 0.0f &&
                                      *pe->freeboard < *m.required);
            }
        }
    }
    std::vector<Item> items = {
        {en ? "invert" : "Sohle", 0},
        {en ? "top of profile (ground)" : "Profiloberkante (Gelände)", 1},
        {(en ? "water level" : "Wasserspiegel") + (m.caseNames.empty() ? std::string() : " " + m.caseNames[0]), 2},
        {(en ? "energy level" : "Energielinie") + (m.caseNames.empty() ? std::string() : " " + m.caseNames[0]), 3},
    };
    for (size_t c = 1; c < m.caseNames.size(); ++c)
        items.push_back({(en ? "water level " : "Wasserspiegel ") + m.caseNames[c], 100 + static_cast<int>(c) - 1});
    if (closed) items.push_back({en ? "pipe crown" : "Rohrscheitel", 4});
    if (weir) items.push_back({en ? "weir crest" : "Überfallkrone", 5});
    if (wall) items.push_back({en ? "wall with opening" : "Wand mit Öffnung", 6});
    if (gr) items.push_back({"gr: " + remark_text("gr", en), 7});
    if (over) items.push_back({en ? "ü: overtopped (excess in cm)" : "ü: Überlauf (Überstau in cm)", 8});
    if (pressure) items.push_back({"d: " + remark_text("d", en), 10});
    if (lacking)
        items.push_back({(en ? "freeboard below " : "Freibord unter ") + fixed(*m.required, 2) + " m", 11});
    if (boundary) items.push_back({en ? "downstream water level" : "Wasserstand am Ablauf", 9});
    double x = kLeft;
    const double rowH = 22.0;
    for (const auto& it : items) {
        const double w = 36.0 + text_w(it.text, 11.0) + 24.0;
        if (x + w > width - 10.0 && x > kLeft) {
            x = kLeft;
            y += rowH;
        }
        const double sy = y - 4.0, sx = x, ex = x + 28.0, mx = x + 14.0;
        switch (it.kind) {
            case 0: out.push_back(line(sx, sy, ex, sy, kInvert, 2.2, "legend")); break;
            case 1: out.push_back(line(sx, sy, ex, sy, kTop, 1.4, "legend")); break;
            case 2:
                out.push_back(poly(Shape::Kind::Polygon, {{sx, sy}, {ex, sy}, {ex, sy + 6}, {sx, sy + 6}}, "none",
                                   kWater, 0.0, "legend"));
                out.push_back(line(sx, sy, ex, sy, kWsp, 2.0, "legend"));
                break;
            case 3: out.push_back(line(sx, sy, ex, sy, kEnergy, 1.3, "legend", 0, "6 3")); break;
            case 4: out.push_back(line(sx, sy, ex, sy, kInvert, 1.0, "legend", 0, "2 2")); break;
            case 5: weir_symbol(out, mx, sy + 6, sy - 2, "legend", 0); break;
            case 6:
                out.push_back(line(mx, sy - 8, mx, sy - 3, kWall, 5.0, "legend"));
                out.push_back(poly(Shape::Kind::Polygon, {{mx - 3, sy - 3}, {mx + 3, sy - 3}, {mx + 3, sy + 2}, {mx - 3, sy + 2}},
                                   kWall, "#ffffff", 1.0, "legend"));
                out.push_back(line(mx, sy + 2, mx, sy + 7, kWall, 5.0, "legend"));
                break;
            case 7: out.push_back(circle(mx, sy, 4.0, kGr, "legend", 0)); break;
            case 8:
                out.push_back(line(sx, sy, ex, sy, kOver, 3.2, "legend"));
                out.push_back(triangle(mx, sy, 5.5, kOver, "legend", 0));
                break;
            case 10: out.push_back(square(mx, sy, 4.0, kPressure, "legend", 0)); break;
            case 11: out.push_back(line(sx, sy, ex, sy, kShort, 3.2, "legend")); break;
            case 9: water_level_symbol(out, mx, sy + 2, "legend"); break;
            default:
                if (it.kind >= 100) {
                    const CaseStyle st = case_style(static_cast<size_t>(it.kind - 100));
                    out.push_back(line(sx, sy, ex, sy, st.colour, 1.6, "legend", 0, st.dash));
                }
                break;
        }
        out.push_back(text(x + 36.0, y, it.text, 11.0, -1, "legend-text"));
        x += w;
    }
    return y + rowH;
}

}  // namespace

ProfileDrawing layout_profile(const ProfileModel& model) {
    ProfileDrawing d;
    // Each panel is as wide as its labels need (at least the minimum page):
    // a side strand of a dozen elements is not stretched over the width of a
    // main strand of thousands, with its grid and ticks over all of it.
    auto plot_width = [](const ProfilePanel& p) {
        return std::max(kMinWidth - kLeft - kRight, static_cast<double>(p.elements.size()) * kLabelGap + 40.0);
    };
    double widest = kMinWidth - kLeft - kRight;
    for (const auto& p : model.panels) widest = std::max(widest, plot_width(p));
    d.width = kLeft + widest + kRight;

    double y = 34.0;
    for (size_t k = 0; k < model.heading.size(); ++k) {
        const bool first = k == 0;
        d.shapes.push_back(text(kLeft, y, model.heading[k], first ? 18.0 : 13.0, -1, "heading", "#000000", first));
        y += first ? 24.0 : 19.0;
    }
    y += 8.0;
    std::vector<Shape> legend;
    y = layout_legend(model, y, d.width, legend);
    d.shapes.insert(d.shapes.end(), std::make_move_iterator(legend.begin()), std::make_move_iterator(legend.end()));
    y += 6.0;
    for (size_t k = 0; k < model.panels.size(); ++k)
        y = layout_panel(model.panels[k], static_cast<int>(k), model.english, model.required, y,
                         plot_width(model.panels[k]), d.shapes);
    d.height = y;
    // A level that the computation left undefined is not drawn at all rather
    // than at some arbitrary place of the page.
    std::erase_if(d.shapes, [](const Shape& s) {
        return std::any_of(s.pts.begin(), s.pts.end(),
                           [](const SvgPoint& p) { return !std::isfinite(p.x) || !std::isfinite(p.y); });
    });
    return d;
}

ProfileDrawing profile_drawing(const RunContext& ctx) { return layout_profile(profile_model(ctx)); }

std::string drawing_svg(const ProfileDrawing& d) {
    std::ostringstream out;
    write_drawing_svg(d, out);
    return out.str();
}

void write_drawing_svg(const ProfileDrawing& d, std::ostream& out) {
    SvgWriter w(d.width, d.height, &out);
    w.rect(0, 0, d.width, d.height, {{"fill", "#ffffff"}});
    w.open("g", {{"font-family", "DejaVu Sans, Arial, Helvetica, sans-serif"}});
    int panel = -2;
    for (const Shape& s : d.shapes) {
        if (s.panel != panel) {
            if (panel != -2) w.close();
            panel = s.panel;
            w.open("g", {{"class", panel < 0 ? "page" : "panel"}});
        }
        SvgWriter::Attrs a;
        if (!s.role.empty()) a.emplace_back("class", s.role);
        if (s.kind == Shape::Kind::Text) {
            a.emplace_back("font-size", svg_num(s.size));
            a.emplace_back("fill", s.fill);
            if (s.anchor == 0) a.emplace_back("text-anchor", "middle");
            if (s.anchor == 1) a.emplace_back("text-anchor", "end");
            if (s.bold) a.emplace_back("font-weight", "bold");
            w.text(s.pts[0].x, s.pts[0].y, s.text, a, s.rotate);
            continue;
        }
        a.emplace_back("stroke", s.stroke);
        a.emplace_back("fill", s.fill);
        if (s.stroke != "none") a.emplace_back("stroke-width", svg_num(s.width));
        if (!s.dash.empty()) a.emplace_back("stroke-dasharray", s.dash);
        switch (s.kind) {
            case Shape::Kind::Line:
                w.line(s.pts[0].x, s.pts[0].y, s.pts[1].x, s.pts[1].y, a);
                break;
            case Shape::Kind::Polyline: w.polyline(s.pts, a); break;
            case Shape::Kind::Polygon: w.polygon(s.pts, a); break;
            case Shape::Kind::Circle: w.circle(s.pts[0].x, s.pts[0].y, s.r, a); break;
            case Shape::Kind::Text: break;
        }
    }
    w.finish();
}

ProfileModel case_profile_model(const RunContext& ctx, ProfileModel m, const std::string& designName,
                                const std::vector<const ProfileModel*>& others,
                                const std::vector<std::string>& names) {
    // the heading names the variant and its cases, not the design case's run
    if (m.heading.size() > 1) {
        std::string variant = ctx.run.dbName + ctx.run.dbExt;
        if (!ctx.run.runDate.empty()) variant += "   " + ctx.run.runDate;
        m.heading[1] = variant;
    }
    m.caseNames.push_back(designName);
    for (size_t c = 0; c < others.size(); ++c) {
        const ProfileModel& o = *others[c];
        m.caseNames.push_back(names[c]);
        for (size_t p = 0; p < m.panels.size(); ++p) {
            // the elements of a panel are the same in every case: matched by position
            const auto* oe = p < o.panels.size() ? &o.panels[p].elements : nullptr;
            auto& els = m.panels[p].elements;
            for (size_t k = 0; k < els.size(); ++k) {
                std::array<float, 2> w = {std::nanf(""), std::nanf("")};
                if (oe) {
                    const ProfileElement* hit = k < oe->size() && (*oe)[k].isys == els[k].isys ? &(*oe)[k] : nullptr;
                    for (size_t j = 0; !hit && j < oe->size(); ++j)
                        if ((*oe)[j].isys == els[k].isys) hit = &(*oe)[j];
                    if (hit) w = {hit->up.wsp, hit->down.wsp};
                }
                els[k].caseWsp.push_back(w);
            }
        }
    }
    return m;
}

namespace {

// Writes the drawing of the whole plant as the run's SVG (kept for a window
// that asked for it) and the sheets for the report. With two threads or more
// the whole drawing is laid out and written beside the sheets; the run is told
// of the files in the same order either way.
void write_drawings(RunContext& ctx, const ProfileModel& m) {
    ProfileDrawing whole;
    FileOutcome wholeOutcome;
    auto writeWhole = [&]() {
        whole = layout_profile(m);
        support::AtomicFile f(ctx.run.basePath + "_profile.svg");
        write_drawing_svg(whole, f.out());
        wholeOutcome = commit_file(f);
    };
    std::thread wholeWriter;
    if (ctx.run.worker_threads() > 1) wholeWriter = std::thread(writeWhole);
    else writeWhole();
    const std::vector<FileOutcome> sheets = write_sheets(ctx, m);
    if (wholeWriter.joinable()) wholeWriter.join();
    tell_file(ctx, wholeOutcome);
    for (const FileOutcome& o : sheets) tell_file(ctx, o);
    if (ctx.run.keepDrawing) ctx.run.keptDrawing = std::move(whole);
}

}  // namespace

ProfileDrawing run_profile_drawing(const RunContext& ctx) {
    if (ctx.flowCases.empty()) return profile_drawing(ctx);
    const size_t d = std::min(ctx.designCase, ctx.flowCases.size() - 1);
    std::vector<ProfileModel> models;
    std::vector<std::string> names;
    for (size_t k = 0; k < ctx.flowCases.size(); ++k)
        if (k != d && !ctx.flowCases[k]->failed()) {
            models.push_back(profile_model(*ctx.flowCases[k]));
            names.push_back(ctx.flowCases[k]->run.caseName);
        }
    std::vector<const ProfileModel*> others;
    for (const auto& m : models) others.push_back(&m);
    const RunContext& design = *ctx.flowCases[d];
    return layout_profile(case_profile_model(ctx, profile_model(design), design.run.caseName, others, names));
}

void draw_case_profiles(RunContext& ctx, ProfileModel design, const std::string& designName,
                        const std::vector<const ProfileModel*>& others, const std::vector<std::string>& names) {
    if (!ctx.run.drawing) return;
    const ProfileModel m = case_profile_model(ctx, std::move(design), designName, others, names);
    write_drawings(ctx, m);
}

void draw_profile(RunContext& ctx) {
    if (!ctx.run.drawing || ctx.failed() || ctx.plant.nsys < 1) return;
    const ProfileModel m = profile_model(ctx);
    write_drawings(ctx, m);
}

}  // namespace rivola::output
