// The profile drawing on sheets for the report: scales from the usual series
// worked out by hand for the room of a sheet, a long strand continued with
// match lines, the title block, and the PDF as poppler reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <tuple>

#include "common/test_util.h"
#include "output/pdf_writer.h"
#include "output/profile_sheets.h"

using namespace rivola;
using namespace rivola::output;

namespace {

// One strand of `n` flumes of `length` m falling 1 per mille, 0.3 m of water.
ProfileModel strand(int n, float length) {
    ProfileModel m;
    ProfilePanel p;
    p.title = "Hauptstrang";
    for (int k = 0; k < n; ++k) {
        ProfileElement e;
        e.isys = k + 1;
        e.name = "G" + std::to_string(k + 1);
        e.letter = 'G';
        e.Q = 0.25f;
        e.up.x = k * length;
        e.down.x = (k + 1) * length;
        e.up.z = 100.0f - 0.001f * e.up.x;
        e.down.z = 100.0f - 0.001f * e.down.x;
        for (ProfileEnd* end : {&e.up, &e.down}) {
            end->wsp = end->z + 0.3f;
            end->e = end->wsp + 0.02f;
            end->top = end->z + 1.0f;
            end->hasTop = true;
        }
        p.elements.push_back(e);
    }
    m.panels.push_back(p);
    return m;
}

std::vector<std::string> texts(const Sheet& s, const std::string& role) {
    std::vector<std::string> out;
    for (const Shape& sh : s.page.shapes)
        if (sh.kind == Shape::Kind::Text && sh.role == role) out.push_back(sh.text);
    return out;
}

// A sheet format that must be known.
SheetFormat format(const char* name) {
    SheetFormat f;
    EXPECT_TRUE(sheet_format(name, f)) << name;
    return f;
}

const SheetText kNord{{"Nord"}, "nord.mdb", "", "06.12.2025", "8.03", false};

bool has(const std::vector<std::string>& v, const std::string& part) {
    for (const auto& s : v)
        if (s.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(ProfileSheets, ScalesFromTheSeriesFitTheRoom) {
    const struct {
        double extent, room;
        int length, height;
    } cases[] = {
        {30, 360, 100, 10},      // 30 m: 300 mm at 1:100; 3000 mm of height needs 1:10 at most
        {100, 360, 500, 10},     // 400 mm at 1:250 is too long, 200 mm at 1:500
        {2000, 360, 1000, 10},   // longer than a sheet even at 1:1000: continued on further sheets
        {3.0, 150, 100, 20},     // heights: 150 mm at 1:20
        {12.0, 150, 1000, 100},  // 120 mm at 1:100
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extent);
        if (c.extent >= 30) EXPECT_EQ(length_scale(c.extent, c.room), c.length);
        else EXPECT_EQ(height_scale(c.extent, c.room), c.height);
    }
    SheetFormat f;
    EXPECT_TRUE(sheet_format("a4", f));
    EXPECT_EQ(f.name, "A4");
    EXPECT_DOUBLE_EQ(f.width, 297.0);
    EXPECT_FALSE(sheet_format("A2", f));
}

// A3: the frame leaves 360 mm of plot width (420 - 20 - 10 mm margins,
// 22 mm of height axis, 8 mm on the right).
TEST(ProfileSheets, ALongStrandContinuesOnSheetsWithMatchLines) {
    const SheetFormat a3 = format("A3");
    SheetText t{{"Kläranlage Nord"}, "nord.mdb", "Regen", "06.12.2025", "8.03", false};
    const struct {
        int elements;
        float length;
        size_t sheets;
        int scale;
    } cases[] = {
        {10, 10.0f, 1, 500},     // 100 m: 200 mm at 1:500
        {200, 10.0f, 6, 1000},   // 2000 m at 1:1000: 360 m a sheet, 6 sheets
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheets);
        const std::vector<Sheet> sheets = layout_sheets(strand(c.elements, c.length), a3, t);
        ASSERT_EQ(sheets.size(), c.sheets);
        for (size_t k = 0; k < sheets.size(); ++k) {
            const Sheet& s = sheets[k];
            EXPECT_EQ(s.scales.length, c.scale);
            EXPECT_DOUBLE_EQ(s.page.width, 420.0 * 72.0 / 25.4);
            const auto block = texts(s, "titleblock");
            EXPECT_TRUE(has(block, "Blatt " + std::to_string(k + 1) + " von " + std::to_string(c.sheets)));
            EXPECT_TRUE(has(block, "Maßstab Längen 1:" + std::to_string(c.scale)));
            EXPECT_TRUE(has(block, "Variante: nord.mdb   Lastfall: Regen"));
            EXPECT_TRUE(has(texts(s, "title"), "Kläranlage Nord"));
            // where the strand goes on, a match line says where
            EXPECT_EQ(has(texts(s, "matchline"), "weiter auf Blatt " + std::to_string(k + 2)), k + 1 < sheets.size());
            EXPECT_EQ(has(texts(s, "matchline"), "Fortsetzung von Blatt " + std::to_string(k)), k > 0);
            // everything lies on the sheet
            for (const Shape& sh : s.page.shapes)
                for (const auto& p : sh.pts) {
                    EXPECT_GE(p.x, -0.01);
                    EXPECT_LE(p.x, s.page.width + 0.01);
                }
            // the sheets join without a gap
            if (k > 0) { EXPECT_DOUBLE_EQ(s.x0, sheets[k - 1].x1); }
        }
        EXPECT_DOUBLE_EQ(sheets.back().x1, c.elements * c.length);
    }
}

// Several strands: an overview sheet first, naming each strand's sheets.
TEST(ProfileSheets, OverviewNamesTheSheetsOfEachStrand) {
    const SheetFormat a3 = format("A3");
    ProfileModel m = strand(10, 10.0f);
    ProfilePanel second = strand(200, 10.0f).panels[0];
    second.title = "Strang 2";
    m.panels.push_back(second);
    const std::vector<Sheet> sheets = layout_sheets(m, a3, kNord);
    ASSERT_EQ(sheets.size(), 8u);   // the overview, 1 sheet of the first strand, 6 of the second
    EXPECT_EQ(sheets[0].panel, -1);
    const auto entries = texts(sheets[0], "overview");
    EXPECT_EQ(entries, (std::vector<std::string>{"Hauptstrang - Blatt 2", "Strang 2 - Blatt 3-8"}));
    EXPECT_TRUE(has(texts(sheets[1], "titleblock"), "Blatt 2 von 8"));
    EXPECT_TRUE(has(texts(sheets[2], "matchline"), "weiter auf Blatt 4"));
    EXPECT_TRUE(has(texts(sheets[1], "titleblock"), "Strang: Hauptstrang, Q = 250.0 l/s"));
    // a weir shows its crest and invert, the structures their water levels
    ProfileModel w = strand(3, 10.0f);
    ProfileElement& weir = w.panels[0].elements[1];
    weir.letter = 'U';
    weir.up.crown = 99.99f;
    SheetText marked = kNord;
    marked.markIsys = 2;   // the weir's inlet end limits the capacity
    marked.markEnd = 2;
    const Sheet s = layout_sheets(w, a3, marked).front();
    EXPECT_EQ(texts(s, "limit"), std::vector<std::string>{"maßgebend für die Kapazität"});
    EXPECT_EQ(texts(s, "weir-crest"), std::vector<std::string>{"Krone 99.99"});
    EXPECT_EQ(texts(s, "weir-invert"), std::vector<std::string>{"Sohle 99.99"});
    EXPECT_TRUE(has(texts(s, "wsp-level"), "100.29"));   // 0.3 m above the invert 99.99 at the weir
}

// Lanes alike within 1 mm are drawn once, with a note naming the others;
// a lane 2 mm higher is drawn on its own.
TEST(ProfileSheets, LanesAlikeAreDrawnOnce) {
    const SheetFormat a3 = format("A3");
    ProfileModel m = strand(5, 10.0f);
    m.panels[0].title = "Strasse 1";
    for (const auto& [title, shift, rise] : {std::tuple{"Strasse 2", 500.0f, 0.0009f}, std::tuple{"Strasse 3", 800.0f, 0.002f}}) {
        ProfilePanel lane = m.panels[0];
        lane.title = title;
        for (ProfileElement& e : lane.elements)
            for (ProfileEnd* end : {&e.up, &e.down}) end->x += shift, end->wsp += rise;
        m.panels.push_back(lane);
    }
    const std::vector<Sheet> sheets = layout_sheets(m, a3, kNord);
    ASSERT_EQ(sheets.size(), 3u);   // the overview, Strasse 1 (with 2), Strasse 3
    EXPECT_EQ(texts(sheets[1], "alike"), std::vector<std::string>{"gleich: Strasse 2 (Höhen auf 1 mm gleich)"});
    EXPECT_TRUE(texts(sheets[2], "alike").empty());
    EXPECT_EQ(texts(sheets[0], "overview"),
              (std::vector<std::string>{"Strasse 1 - Blatt 2  (gleich: Strasse 2)", "Strasse 3 - Blatt 3"}));
}

TEST(ProfileSheets, PdfIsReadByPopplerWithItsPagesAndTexts) {
    EXPECT_EQ(to_cp1252("Überfall 2³ €"), "\xDC" "berfall 2\xB3 \x80");
    EXPECT_EQ(to_cp1252("\xE2\x86\x92"), "?");   // an arrow is not in the code page
    // Helvetica: "H" 722/1000, "i" 222/1000
    EXPECT_DOUBLE_EQ(helvetica_width("Hi", false), 0.944);

    const std::vector<Sheet> sheets =
        layout_sheets(strand(200, 10.0f), format("A4"), SheetText{{"Süd"}, "süd.mdb", "", "01.01.2026", "8.03", true});
    ASSERT_GT(sheets.size(), 1u);
    std::vector<const ProfileDrawing*> pages;
    for (const Sheet& s : sheets) pages.push_back(&s.page);
    std::ostringstream out;
    ASSERT_TRUE(write_pdf(pages, "süd.mdb", out));
    const std::string pdf = out.str();
    ASSERT_EQ(pdf.rfind("%PDF-1.4", 0), 0u);
    // every object where the cross-reference table says it is
    const size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref") + 10));
    ASSERT_EQ(pdf.compare(xref, 4, "xref"), 0);
    std::istringstream table(pdf.substr(xref));
    std::string word;
    size_t first = 0, count = 0;
    table >> word >> first >> count;
    for (size_t k = 0; k < count; ++k) {
        std::string offset, gen, kind;
        table >> offset >> gen >> kind;
        if (k == 0) continue;
        EXPECT_EQ(pdf.compare(std::stoul(offset), std::to_string(k).size() + 6, std::to_string(k) + " 0 obj"), 0) << k;
    }
    if (std::system("command -v pdfinfo > /dev/null 2>&1") != 0) GTEST_SKIP() << "poppler is not installed";
    test::TempDir dir("pdf");
    test::write_file(dir.str() + "s.pdf", pdf);
    ASSERT_EQ(std::system(("pdfinfo '" + dir.str() + "s.pdf' > '" + dir.str() + "info' 2>&1").c_str()), 0);
    const std::string info = test::read_file(dir.str() + "info");
    EXPECT_EQ(std::stoul(info.substr(info.find("Pages:") + 6)), sheets.size()) << info;
    EXPECT_NE(info.find("841.89 x 595.28 pts (A4)"), std::string::npos) << info;
    ASSERT_EQ(std::system(("pdftotext -f 1 -l 1 '" + dir.str() + "s.pdf' '" + dir.str() + "p1.txt'").c_str()), 0);
    const std::string page1 = test::read_file(dir.str() + "p1.txt");
    EXPECT_NE(page1.find("Sheet 1 of " + std::to_string(sheets.size())), std::string::npos) << page1;
    EXPECT_NE(page1.find("Variant: süd.mdb"), std::string::npos) << page1;
    EXPECT_NE(page1.find("continued on sheet 2"), std::string::npos) << page1;
}
