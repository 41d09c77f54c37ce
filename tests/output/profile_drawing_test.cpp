// The hydraulic profile drawing of plants with results built in memory. The
// expected flow lengths and levels are worked out by hand from the element
// data below; positions on the page are checked against the drawing's own
// axis ticks, which is how a reader measures them. The page, heading and
// label texts of the example plants are pinned by their stored drawings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "common/test_util.h"
#include "output/output_plant.h"
#include "output/profile_drawing.h"
#include "output/xml_check.h"
#include "model/context.h"

using namespace rivola;
using output::ProfileDrawing;
using output::Shape;

namespace {

struct Lv {
    float z, h, he;
};

void add(Plant& p, int i, const std::string& name, int ityp, float flaenge, float L, Lv up, Lv down,
         int strand = 1, float top = 1.0f) {
    Element& e = p.el[i];
    e.bez = name;
    e.ityp = ityp;
    e.flaenge = flaenge;
    e.L = L;
    e.istrang = strand;
    for (const auto& [s, lv] : {std::pair{2, up}, std::pair{1, down}}) {
        e.res[s].z = lv.z;
        e.res[s].h = lv.h;
        e.res[s].he = lv.he;
        e.prof[s == 2 ? kProfUp : kProfDown] = test::rect(lv.z, top, 1.0f, false, 0.0f);   // 1 m wide
    }
}

// Links elements first..last in one line.
void chain(Plant& p, int first, int last) {
    for (int i = first; i < last; ++i) {
        p.el[i].iab[1] = i + 1;
        p.el[i + 1].izu[1] = i;
    }
}

// Q1 -> G1 (20 m) -> U1 -> G2 (30 m, not plotted) -> G3 (10 m, the outlet).
void small_plant(RunContext& ctx) {
    Plant& p = ctx.plant;
    p.resize(5);
    add(p, 1, "Q1", T_Q, 0, 0, {100.5f, 0.4f, 0.45f}, {100.5f, 0.4f, 0.45f});
    add(p, 2, "G1", T_G, 0, 20, {100.5f, 0.4f, 0.45f}, {100.4f, 0.45f, 0.49f});
    add(p, 3, "U1", T_U, 20, 0, {100.4f, 0.45f, 0.49f}, {100.4f, 0.45f, 0.49f});
    add(p, 4, "G2", T_G, 20, 30, {99.8f, 0.7f, 0.72f}, {99.7f, 0.6f, 0.63f});
    add(p, 5, "G3", T_G, 50, 10, {99.7f, 0.6f, 0.63f}, {99.65f, 0.55f, 0.6f});
    chain(p, 1, 5);
    p.el[4].plotflag = 'N';
    p.el[2].res[1].bem[1] = "gr";
    p.el[5].res[2].bem[3] = "ü";
    p.el[5].ablauf1 = "ENDE";
}

// The values of the ticks of one axis of a panel, by their page position.
std::map<double, double> ticks(const ProfileDrawing& d, int panel, const std::string& role) {
    std::map<double, double> m;
    for (const Shape& s : d.shapes)
        if (s.panel == panel && s.role == role)
            m[std::atof(s.text.c_str())] = role == "xtick" ? s.pts[0].x : s.pts[0].y - 4.0;
    return m;
}

// Page position of a value, read off two ticks of an axis.
double on_axis(const std::map<double, double>& t, double v) {
    const auto lo = t.begin();
    const auto hi = std::prev(t.end());
    return lo->second + (v - lo->first) / (hi->first - lo->first) * (hi->second - lo->second);
}

const Shape* find(const ProfileDrawing& d, int panel, const std::string& role, int isys) {
    for (const Shape& s : d.shapes)
        if (s.panel == panel && s.role == role && s.isys == isys) return &s;
    return nullptr;
}

std::vector<const Shape*> all(const ProfileDrawing& d, int panel, const std::string& role) {
    std::vector<const Shape*> v;
    for (const Shape& s : d.shapes)
        if (s.panel == panel && s.role == role) v.push_back(&s);
    return v;
}

}  // namespace

TEST(ProfileDrawing, TickStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(output::nice_step(100.0, 10), 10.0);
    EXPECT_DOUBLE_EQ(output::nice_step(430.0, 15), 50.0);  // 28.7 per tick -> 50
    EXPECT_DOUBLE_EQ(output::nice_step(6.0, 10), 1.0);     // 0.6 per tick -> 1
    EXPECT_DOUBLE_EQ(output::nice_step(3.0, 10), 0.5);     // 0.3 per tick -> 0.5
    EXPECT_NEAR(output::nice_step(1.5, 10), 0.2, 1e-12);   // 0.15 per tick -> 0.2
    EXPECT_DOUBLE_EQ(output::nice_step(0.0, 10), 1.0);     // nothing to divide
}

TEST(ProfileDrawing, PressurePipesShowTheGroundOfTheirNeighboursAndTheirOwnCrown) {
    // G1 (top 1.0 m) -> D1 (crown 0.5 m above its invert) -> G2 (top 1.2 m).
    RunContext ctx;
    Plant& p = ctx.plant;
    p.resize(3);
    add(p, 1, "G1", T_G, 0, 10, {101.0f, 0.5f, 0.52f}, {100.9f, 0.5f, 0.52f});
    add(p, 2, "D1", T_D, 10, 40, {100.8f, 0.9f, 0.95f}, {100.0f, 1.2f, 1.25f}, 1, 0.5f);
    add(p, 3, "G2", T_G, 50, 10, {100.0f, 1.0f, 1.02f}, {99.9f, 1.0f, 1.02f}, 1, 1.2f);
    chain(p, 1, 3);
    const auto model = output::profile_model(ctx);
    const auto& d1 = model.panels.at(0).elements.at(1);
    EXPECT_FLOAT_EQ(d1.up.top, 101.9f);    // G1's downstream top: 100.9 + 1.0
    EXPECT_FLOAT_EQ(d1.down.top, 101.2f);  // G2's upstream top: 100.0 + 1.2
    EXPECT_FLOAT_EQ(d1.up.crown, 101.3f);  // 100.8 + 0.5
    EXPECT_FLOAT_EQ(d1.down.crown, 100.5f);
}

// The drawing puts the ends of the plotted elements at their flow lengths and
// levels on the axes, and its marks where the model has them. (The panel
// titles and the label texts are pinned by the stored drawings.)
TEST(ProfileDrawing, PlottedElementsSitAtTheirFlowLengthsAndLevelsOnTheAxes) {
    RunContext ctx;
    small_plant(ctx);
    const auto m = output::profile_model(ctx);
    ASSERT_EQ(m.panels.size(), 1u);
    const auto& pan = m.panels[0];
    EXPECT_FLOAT_EQ(pan.elements.at(1).up.crown, 101.5f);
    // U1 hands over to G2, which is not drawn; G3 is the plant outlet at 60 m.
    EXPECT_EQ(pan.elements.at(2).next, -1);
    EXPECT_EQ(pan.elements[1].next, 2);
    EXPECT_FLOAT_EQ(pan.boundaryX, 60.0f);
    const ProfileDrawing d = output::profile_drawing(ctx);
    const auto xt = ticks(d, 0, "xtick");
    const auto yt = ticks(d, 0, "ytick");
    ASSERT_GE(xt.size(), 3u);
    ASSERT_GE(yt.size(), 3u);
    // The ticks cover the plotted flow lengths 0..60 m and levels 99.65..101.5 m.
    EXPECT_LE(xt.begin()->first, 0.0);
    EXPECT_GE(std::prev(xt.end())->first, 60.0);
    EXPECT_LE(yt.begin()->first, 99.65);
    EXPECT_GE(std::prev(yt.end())->first, 101.5);

    struct Want {
        int isys;
        double x1, x2;         // flow lengths of the inlet and outlet end
        double z1, z2, w1, w2, e1, e2;
    };
    const Want want[] = {
        {2, 0, 20, 100.5, 100.4, 100.9, 100.85, 100.95, 100.89},
        {3, 20, 20, 100.4, 100.4, 100.85, 100.85, 100.89, 100.89},
        {5, 50, 60, 99.7, 99.65, 100.3, 100.2, 100.33, 100.25},
    };
    for (const auto& w : want) {
        SCOPED_TRACE(w.isys);
        const Shape* inv = find(d, 0, "invert", w.isys);
        const Shape* wsp = find(d, 0, "wsp", w.isys);
        const Shape* en = find(d, 0, "energy", w.isys);
        ASSERT_TRUE(inv && wsp && en);
        EXPECT_NEAR(inv->pts[0].x, on_axis(xt, w.x1), 0.05);
        EXPECT_NEAR(inv->pts[1].x, on_axis(xt, w.x2), 0.05);
        EXPECT_NEAR(wsp->pts[0].x, on_axis(xt, w.x1), 0.05);
        EXPECT_NEAR(inv->pts[0].y, on_axis(yt, w.z1), 0.05);
        EXPECT_NEAR(inv->pts[1].y, on_axis(yt, w.z2), 0.05);
        EXPECT_NEAR(wsp->pts[0].y, on_axis(yt, w.w1), 0.05);
        EXPECT_NEAR(wsp->pts[1].y, on_axis(yt, w.w2), 0.05);
        EXPECT_NEAR(en->pts[0].y, on_axis(yt, w.e1), 0.05);
        EXPECT_NEAR(en->pts[1].y, on_axis(yt, w.e2), 0.05);
    }
    // The weir crest stands at the crest level, the downstream level is marked.
    bool crest = false;
    for (const Shape* s : all(d, 0, "weir"))
        for (const auto& pt : s->pts)
            crest = crest || (std::abs(pt.y - on_axis(yt, 100.4)) < 0.05 &&
                              std::abs(pt.x - on_axis(xt, 20.0)) < 0.05);
    EXPECT_TRUE(crest);
    bool boundary = false;   // 99.65 + 0.55
    for (const Shape* s : all(d, 0, "boundary"))
        boundary = boundary || (s->kind == Shape::Kind::Text && s->text == "100.20");
    EXPECT_TRUE(boundary);
    // Remarks: the critical flow at G1's outlet end, water above G3's top.
    const auto gr = all(d, 0, "gr");   // at the outlet end only
    ASSERT_EQ(gr.size(), 1u);
    EXPECT_EQ(gr[0]->isys, 2);
    EXPECT_NEAR(gr[0]->pts[0].x, on_axis(xt, 20.0), 0.05);
    EXPECT_NEAR(gr[0]->pts[0].y, on_axis(yt, 100.85), 0.05);
    EXPECT_TRUE(find(d, 0, "over", 5));
    // G2 has the plot flag N: nothing of it is drawn or labelled
    for (const Shape& s : d.shapes) EXPECT_NE(s.isys, 4) << s.role;
    EXPECT_EQ(all(d, 0, "label").size(), 4u);
    // an undefined level is left out, not drawn at the edge of the page
    ctx.plant.el[5].res[2].h = std::nanf("");
    const ProfileDrawing u = output::profile_drawing(ctx);
    for (const Shape& s : u.shapes)
        for (const auto& pt : s.pts) EXPECT_TRUE(std::isfinite(pt.x) && std::isfinite(pt.y)) << s.role;
    EXPECT_EQ(find(u, 0, "wsp", 5), nullptr);
    EXPECT_NE(find(u, 0, "invert", 5), nullptr);
    EXPECT_NE(find(u, 0, "energy", 5), nullptr);
}

TEST(ProfileDrawing, CrowdedLabelsDoNotOverlapAndKeepFlowOrder) {
    // Forty walls and weirs at one place and a few flumes around them.
    RunContext ctx;
    Plant& p = ctx.plant;
    const int n = 44;
    p.resize(n);
    for (int i = 1; i <= n; ++i) {
        const bool flume = i <= 2 || i >= n - 1;
        const float x = i <= 2 ? 10.0f * (i - 1) : (i >= n - 1 ? 20.0f + 10.0f * (i - n + 1) : 20.0f);
        add(p, i, (flume ? "G" : (i % 2 ? "U" : "W")) + std::to_string(i), flume ? T_G : (i % 2 ? T_U : T_W), x,
            flume ? 10.0f : 0.0f, {100.0f, 0.5f, 0.55f}, {100.0f, 0.5f, 0.55f});
    }
    chain(p, 1, n);
    const ProfileDrawing d = output::profile_drawing(ctx);
    const auto labels = all(d, 0, "label");
    ASSERT_EQ(labels.size(), static_cast<size_t>(n));
    const Shape* frame = all(d, 0, "frame").at(0);
    const double left = frame->pts[0].x, right = frame->pts[1].x;
    std::vector<std::pair<double, int>> at;
    for (const Shape* s : labels) {
        EXPECT_DOUBLE_EQ(s->rotate, -90.0);  // upright text: one line height wide
        at.emplace_back(s->pts[0].x, s->isys);
        EXPECT_GE(s->pts[0].x, left);
        EXPECT_LE(s->pts[0].x, right);
    }
    std::sort(at.begin(), at.end());
    for (size_t k = 1; k < at.size(); ++k) {
        EXPECT_GE(at[k].first - at[k - 1].first, labels[0]->size + 1.0);  // no overlap
        EXPECT_EQ(at[k].second, at[k - 1].second + 1);  // flow order kept
    }
}

TEST(ProfileDrawing, OtherStrandsAndPlotPathsGetPanelsOfTheirOwn) {
    // Q1 -> A1 divides into G1 (strand 1) and G2 (strand 2) -> Z1 joins them.
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    Plant& p = ctx.plant;
    p.resize(5);
    add(p, 1, "Q1", T_Q, 0, 0, {100, 0.5f, 0.52f}, {100, 0.5f, 0.52f});
    add(p, 2, "A1", T_A, 0, 2, {100, 0.5f, 0.52f}, {100, 0.5f, 0.52f});
    add(p, 3, "G1", T_G, 2, 20, {100, 0.5f, 0.52f}, {99.9f, 0.55f, 0.57f});
    add(p, 4, "G2", T_G, 2, 40, {100, 0.5f, 0.52f}, {99.9f, 0.55f, 0.57f}, 2);
    add(p, 5, "Z1", T_Z, 46, 4, {99.9f, 0.55f, 0.57f}, {99.88f, 0.55f, 0.57f});
    test::links(p, {{0, 2}, {1, 3, 0, 4}, {2, 5}, {2, 5}, {3, 0, 4}});
    p.el[3].plotweg = "X";
    p.el[4].plotweg = "X";
    const auto m = output::profile_model(ctx);
    ASSERT_EQ(m.panels.size(), 3u);
    EXPECT_EQ(m.panels[2].title, "plot path X");   // (the strand titles as in the stored drawings)
    ASSERT_EQ(m.panels[1].elements.size(), 1u);
    EXPECT_EQ(m.panels[1].elements[0].isys, 4);
    EXPECT_FLOAT_EQ(m.panels[1].elements[0].down.x, 42.0f);  // 2 + 40
    ASSERT_EQ(m.panels[2].elements.size(), 2u);
    // The confluence's flow length reaches its downstream end.
    const auto& z1 = m.panels[0].elements.back();
    EXPECT_EQ(z1.isys, 5);
    EXPECT_FLOAT_EQ(z1.up.x, 42.0f);
    EXPECT_FLOAT_EQ(z1.down.x, 46.0f);
}

TEST(ProfileDrawing, RunWritesAWellFormedFileOnlyWhenSwitchedOnAndComputed) {
    test::TempDir dir("profile");
    RunContext ctx;
    small_plant(ctx);
    ctx.run.basePath = dir.str() + "PLANT";
    ctx.plant.all.titel[1] = "Kläranlage <Nord> & Süd";
    const std::string file = ctx.run.basePath + "_profile.svg";

    ctx.run.drawing = false;
    output::draw_profile(ctx);
    EXPECT_FALSE(std::filesystem::exists(file));
    ctx.run.drawing = true;
    ctx.run.ierr = 2;
    output::draw_profile(ctx);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(ctx.run.writtenFiles.empty());

    // sheets of an earlier, longer drawing
    for (const char* stale : {"_profile_001.svg", "_profile_002.svg", "_profile_003.svg", "_profile_004.svg"})
        test::write_file(ctx.run.basePath + stale, "earlier");
    ctx.run.ierr = 1;
    output::draw_profile(ctx);
    ASSERT_TRUE(std::filesystem::exists(file));
    // the whole drawing, the sheets for the report as one PDF and one SVG each
    const std::string pdf = ctx.run.basePath + "_profile.pdf";
    ASSERT_GE(ctx.run.writtenFiles.size(), 3u);
    EXPECT_EQ(ctx.run.writtenFiles[0], file);
    EXPECT_EQ(ctx.run.writtenFiles[1], pdf);
    for (size_t k = 2; k < ctx.run.writtenFiles.size(); ++k) {
        char n[48];
        std::snprintf(n, sizeof n, "_profile_%03zu.svg", k - 1);
        EXPECT_EQ(ctx.run.writtenFiles[k], ctx.run.basePath + n);
        EXPECT_EQ(test::xml_problem(test::read_file(ctx.run.writtenFiles[k])), "") << n;
    }
    char beyond[48];
    std::snprintf(beyond, sizeof beyond, "_profile_%03zu.svg", ctx.run.writtenFiles.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(ctx.run.basePath + beyond)) << "an earlier sheet was left";
    const std::string svg = test::read_file(file);
    EXPECT_EQ(test::xml_problem(svg), "");
    EXPECT_NE(svg.find(">Kläranlage &lt;Nord&gt; &amp; Süd</text>"), std::string::npos);
    // poppler, where it is installed, reads the PDF: a page per sheet, A3 landscape
    if (std::system("command -v pdfinfo > /dev/null 2>&1") == 0) {
        const std::string info = dir.str() + "info.txt";
        ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
        const std::string text = test::read_file(info);
        EXPECT_EQ(std::stoul(text.substr(text.find("Pages:") + 6)), ctx.run.writtenFiles.size() - 2) << text;
        EXPECT_NE(text.find("1190.55 x 841.89 pts (A3)"), std::string::npos) << text;
        EXPECT_EQ(std::system(("pdftoppm -r 20 -png '" + pdf + "' '" + dir.str() + "sheet'").c_str()), 0);
    }

    // the SVG renderer of librsvg draws it, where it is installed
    if (std::system("command -v rsvg-convert > /dev/null 2>&1") == 0) {
        const std::string png = dir.str() + "PLANT_profile.png";
        const std::string cmd = "rsvg-convert -o '" + png + "' '" + file + "' 2> /dev/null";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        EXPECT_GT(std::filesystem::file_size(png), 1000u);
    }
}

TEST(ProfileDrawing, ShortStrandIsNotStretchedOverTheWidthOfALongMainStrand) {
    // A main strand of 300 flumes of 10 m and a side strand of two flumes: the
    // main strand needs 300 label places, the side strand the minimum page.
    RunContext ctx;
    Plant& p = ctx.plant;
    const int nMain = 300, n = nMain + 2;
    p.resize(n);
    for (int i = 1; i <= nMain; ++i) {
        const float x = 10.0f * static_cast<float>(i - 1);
        const float z = 100.0f - 0.001f * x;
        add(p, i, "G" + std::to_string(i), T_G, x, 10.0f, {z, 0.5f, 0.52f}, {z - 0.01f, 0.5f, 0.52f});
    }
    chain(p, 1, nMain);
    add(p, nMain + 1, "S1", T_G, 100.0f, 10.0f, {99.9f, 0.5f, 0.52f}, {99.89f, 0.5f, 0.52f}, 2);
    add(p, nMain + 2, "S2", T_G, 110.0f, 10.0f, {99.89f, 0.5f, 0.52f}, {99.88f, 0.5f, 0.52f}, 2);
    chain(p, nMain + 1, nMain + 2);
    const ProfileDrawing d = output::profile_drawing(ctx);

    const auto frame_width = [&](int panel) {
        const Shape* f = all(d, panel, "frame").at(0);
        return f->pts[1].x - f->pts[0].x;
    };
    // 300 labels 14 px apart plus 40 px, and the minimum page of 1400 px less
    // the 140 px of margins
    EXPECT_NEAR(frame_width(0), 300 * 14.0 + 40.0, 1.0);
    EXPECT_NEAR(frame_width(1), 1400.0 - 140.0, 1.0);
    EXPECT_GE(d.width, 90.0 + 300 * 14.0 + 40.0 + 50.0 - 1.0);
    // the side strand's 20 m get ticks at a readable spacing over its own
    // frame only: not more than one per 90 px of it, and at least two
    const auto side = ticks(d, 1, "xtick");
    EXPECT_GE(side.size(), 2u);
    EXPECT_LE(side.size(), static_cast<size_t>((1400.0 - 140.0) / 90.0) + 2);
    for (const auto& [v, X] : side) {
        EXPECT_GE(v, 100.0 - 1e-6);
        EXPECT_LE(v, 120.0 + 1e-6);
        EXPECT_LE(X, all(d, 1, "frame").at(0)->pts[1].x + 0.5);
    }
}

// Overtopped spans in red with their excess, spans short of the required
// freeboard in orange with their freeboard, distinct markers for water above
// an open section and pressure in a closed one, and a legend of only what is
// drawn. G1's ends are 1.0 m high; the cases change its outlet depth.
TEST(ProfileDrawing, OvertoppingAndFreeboardAreMarkedAndTheLegendHoldsWhatIsDrawn) {
    const struct {
        const char* name;
        float depth;                     // G1 outlet depth (top 1.0 m)
        bool closed;                     // G1 closed with a flat lid at 1.0 m
        std::optional<float> required;   // tbl_all.Freibord
        const char* span;                // role of G1's span mark ("" none)
        const char* value;               // its label
        const char* marker;              // role of the marker at G1's outlet end
        const char* legend;              // a legend text that must be there ("" none)
    } cases[] = {
        {"nothing over", 0.45f, false, std::nullopt, "", "", "", ""},
        {"1 mm over", 1.001f, false, std::nullopt, "overtopped", "+0.1 cm", "over", "ü: Überlauf (Überstau in cm)"},
        {"short of 0.3 m", 0.8f, false, 0.3f, "freeboard-short", "0.20 m", "", "Freibord unter 0.30 m"},
        {"closed under pressure", 1.05f, true, std::nullopt, "", "", "pressure", "d: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunContext ctx;
        small_plant(ctx);
        ctx.plant.el[5].res[2].bem[3].clear();
        for (int i = 1; i <= 5; ++i) ctx.plant.el[i].res[1].Q = ctx.plant.el[i].res[2].Q = 0.1f;
        Element& g1 = ctx.plant.el[2];
        g1.res[1].h = c.depth;
        if (c.closed) {
            for (EndProfile* pr : {&g1.prof[kProfUp], &g1.prof[kProfDown]}) pr->T[0] = 'g';
            g1.res[1].bem[3] = "d";
        }
        if (c.required) ctx.plant.all.Freibord = *c.required;
        const ProfileDrawing d = output::profile_drawing(ctx);
        for (const char* role : {"overtopped", "freeboard-short"}) {
            const Shape* s = find(d, 0, role, 2);
            EXPECT_EQ(s != nullptr, std::string(c.span) == role) << role;
        }
        if (*c.span) {
            const Shape* v = find(d, 0, std::string(c.span) == "overtopped" ? "overtopped-value" : "freeboard-value", 2);
            ASSERT_TRUE(v);
            EXPECT_EQ(v->text, c.value);
        }
        for (const char* role : {"over", "pressure"}) EXPECT_EQ(find(d, 0, role, 2) != nullptr, std::string(c.marker) == role);
        std::vector<std::string> legend;
        for (const Shape& s : d.shapes)
            if (s.role == "legend-text") legend.push_back(s.text);
        const auto has = [&](const std::string& t) {
            return std::any_of(legend.begin(), legend.end(), [&](const std::string& l) { return l.rfind(t, 0) == 0; });
        };
        for (const char* t : {"ü:", "d:", "Freibord unter", "Rohrscheitel", "Wand mit Öffnung"})
            EXPECT_EQ(has(t), *c.legend && std::string(c.legend).rfind(t, 0) == 0) << t;
        EXPECT_TRUE(has("Überfallkrone"));   // the plant has a weir
    }
}

// Q1 -> G1 (0..20 m, outlet invert 100.3) -> W1 at 20 m (invert 100.4, 1.0 m
// high) -> G2. The wall stands on the lower invert that meets it (G1's 100.3)
// and reaches its top at 101.4; an opening of 0.2 m is a box from 100.4 to 100.6.
TEST(ProfileDrawing, WallStandsOnTheLowerInvertAndShowsItsOpening) {
    for (float opening : {0.0f, 0.2f}) {
        SCOPED_TRACE(opening);
        RunContext ctx;
        Plant& p = ctx.plant;
        p.resize(4);
        add(p, 1, "Q1", T_Q, 0, 0, {100.5f, 0.4f, 0.45f}, {100.5f, 0.4f, 0.45f});
        add(p, 2, "G1", T_G, 0, 20, {100.5f, 0.5f, 0.55f}, {100.3f, 0.6f, 0.65f});
        add(p, 3, "W1", T_W, 20, 0, {100.4f, 0.5f, 0.55f}, {100.4f, 0.5f, 0.55f});
        add(p, 4, "G2", T_G, 20, 10, {100.4f, 0.5f, 0.55f}, {100.35f, 0.5f, 0.55f});
        chain(p, 1, 4);
        p.el[3].hve.H = opening;
        const ProfileDrawing d = output::profile_drawing(ctx);
        const auto yt = ticks(d, 0, "ytick");
        double low = -1e9, high = 1e9;   // page y grows downwards
        for (const Shape* s : all(d, 0, "wall"))
            for (const auto& pt : s->pts) low = std::max(low, pt.y), high = std::min(high, pt.y);
        EXPECT_NEAR(low, on_axis(yt, 100.3), 0.05);
        EXPECT_NEAR(high, on_axis(yt, 101.4), 0.05);
        const Shape* box = find(d, 0, "wall-opening", 3);
        ASSERT_EQ(box != nullptr, opening > 0.0f);
        if (!box) continue;
        ASSERT_EQ(box->pts.size(), 4u);
        for (int k : {0, 1}) EXPECT_NEAR(box->pts[k].y, on_axis(yt, 100.6), 0.05);
        for (int k : {2, 3}) EXPECT_NEAR(box->pts[k].y, on_axis(yt, 100.4), 0.05);
    }
}
