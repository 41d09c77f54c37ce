// The SVG writer: escaping of texts, number text, nesting of elements.
#include <gtest/gtest.h>

#include <cmath>

#include "output/svg_writer.h"
#include "output/xml_check.h"

using namespace rivola;
using output::SvgWriter;

TEST(SvgWriter, EscapesMarkupCharactersAndDropsControlCharacters) {
    EXPECT_EQ(output::xml_escape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
    // UTF-8 letters pass unchanged; a control character that XML forbids goes.
    EXPECT_EQ(output::xml_escape("Gerinne läuft über\x01!"), "Gerinne läuft über!");
    EXPECT_EQ(output::xml_escape("a\tb\nc"), "a\tb\nc");
}

// (two decimals at most, without trailing zeros, as the stored drawings show)
TEST(SvgWriter, NumbersThatRoundToNothingOrAreUndefinedAreZero) {
    EXPECT_EQ(output::svg_num(-0.001), "0");
    EXPECT_EQ(output::svg_num(std::nan("")), "0");
    EXPECT_EQ(output::svg_num(INFINITY), "0");
}

TEST(SvgWriter, WritesNestedWellFormedDocuments) {
    SvgWriter w(200, 100);
    w.open("g", {{"class", "a&b"}});
    w.line(0, 0, 10.5, 20, {{"stroke", "#000000"}});
    w.polyline({{0, 0}, {1, 2}, {3.25, 4}}, {{"fill", "none"}});
    w.open("g");
    w.text(5, 6, "G1 <Zulauf> & \"Ablauf\"", {{"font-size", "11"}}, -90);
    w.circle(1, 2, 3);
    EXPECT_EQ(w.depth(), 3u);
    const std::string doc = w.finish();  // closes both groups and the root
    EXPECT_EQ(test::xml_problem(doc), "");
    // (view box, points and rotation as the stored drawings of the examples pin them)
    EXPECT_NE(doc.find(">G1 &lt;Zulauf&gt; &amp; &quot;Ablauf&quot;</text>"), std::string::npos);
    EXPECT_NE(doc.find("class=\"a&amp;b\""), std::string::npos);
    EXPECT_EQ(doc.rfind("</svg>"), doc.size() - 7);
}

TEST(SvgWriter, TheCheckOfTheTestsRejectsBrokenDocuments) {
    // The parser that judges the documents must catch the faults it is used for.
    EXPECT_NE(test::xml_problem("<svg><g></svg></g>"), "");
    EXPECT_NE(test::xml_problem("<svg><text>a & b</text></svg>"), "");
    EXPECT_NE(test::xml_problem("<svg a=1/>"), "");
    EXPECT_NE(test::xml_problem("<svg><g>"), "");
    EXPECT_EQ(test::xml_problem("<?xml version=\"1.0\"?>\n<svg><g a=\"&lt;\"/></svg>\n"), "");
}
