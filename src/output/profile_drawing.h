// The hydraulic profile drawing: the longitudinal section of the plant after a
// computing run, written as an SVG file (base + "_profile.svg").
//
// Three layers, each usable on its own:
//  - profile_model: what is drawn, in plant units. Per panel (the main strand,
//    every other strand, every plot path) the plotted elements in flow order
//    with the flow length and the levels (invert, top of profile, water level,
//    energy level) at both ends, the remarks shown and the weir and wall data.
//  - profile_drawing: the same in page coordinates (pixels): axes with round
//    ticks, legend, heading, element labels placed so that they do not overlap,
//    and the plotted lines and markers. The desktop program paints this list of
//    shapes itself; the SVG file is written from it.
//  - drawing_svg / draw_profile: the SVG text and the file of a run.
//
// Element numbers are the isys of the plant model (1-based).
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "output/svg_writer.h"
#include "model/context.h"

namespace rivola::output {

// Levels at one end of an element, in m a.s.l.; x is the flow length from the
// plant inlet in m.
struct ProfileEnd {
    float x = 0.0f;
    float z = 0.0f;       // invert
    float wsp = 0.0f;     // water level z + h
    float e = 0.0f;       // energy level z + he
    float crown = 0.0f;   // top of the element's own profile
    float top = 0.0f;     // top of the profile as the ground line shows it
    bool hasTop = false;  // false: no ground level is known at this end
    bool gr = false;      // critical or supercritical flow ("gr")
    std::string over;     // "ü" or "d": water above the top of the section, pressure flow
    std::optional<float> freeboard;  // top of the open channel above the water level
};

struct ProfileElement {
    int isys = 0;
    std::string name;
    std::string description;  // the user's description of the element (beschreibung)
    char letter = ' ';
    int ityp = 0;
    ProfileEnd up;        // inlet end (upstream)
    ProfileEnd down;      // outlet end (downstream)
    float opening = 0.0f; // wall: height of its openings above the invert (0 = unknown)
    float Q = 0.0f;       // discharge through the element, m³/s
    std::string from, to; // names of its 1st inlet and 1st outlet element (blank: none)
    // water levels of the other flow cases at the inlet and outlet end
    // (the model's caseNames[1..]); NaN where a case has no level
    std::vector<std::array<float, 2>> caseWsp;
    int next = -1;        // index in the panel of the element it discharges into (-1: none)
    int prev = -1;        // index in the panel of its 1st inlet element (-1: none)
};

struct ProfilePanel {
    std::string title;
    std::vector<ProfileElement> elements;  // in flow order
    bool boundary = false;                 // holds the plant outlet
    float boundaryX = 0.0f;                // flow length of the plant outlet
    float boundaryLevel = 0.0f;            // downstream water level there
};

struct ProfileModel {
    std::vector<std::string> heading;      // program and variant line, then the title lines
    std::vector<ProfilePanel> panels;
    bool english = false;
    std::optional<float> required;         // freeboard the plant must keep (tbl_all.Freibord)
    // flow cases: the case the model was made of, then the others whose
    // water levels the elements carry; empty for a variant without cases
    std::vector<std::string> caseNames;
};

ProfileModel profile_model(const RunContext& ctx);

// A round tick step of 1, 2 or 5 times a power of ten that divides `range`
// into at most about `maxTicks` intervals.
double nice_step(double range, int maxTicks);

// One shape of the drawing in page coordinates (pixels, y downwards).
struct Shape {
    enum class Kind { Line, Polyline, Polygon, Circle, Text };
    Kind kind = Kind::Line;
    std::vector<SvgPoint> pts;   // Circle and Text: pts[0] is the centre / anchor point
    double r = 0.0;              // circle radius
    std::string stroke = "none";
    std::string fill = "none";
    double width = 1.0;          // stroke width
    std::string dash;            // dash pattern, e.g. "6 3"; empty = solid
    std::string text;            // text content (UTF-8)
    double size = 11.0;          // font size
    int anchor = -1;             // text anchor: -1 start, 0 middle, 1 end
    double rotate = 0.0;         // degrees about the anchor point
    bool bold = false;
    std::string role;            // what the shape shows, e.g. "wsp", "label", "xtick"
    int isys = 0;                // element shown, 0 = none
    int panel = -1;              // panel index, -1 = page heading and legend
};

struct ProfileDrawing {
    double width = 0.0, height = 0.0;
    std::vector<Shape> shapes;
};

// Lays the model out on a page.
ProfileDrawing layout_profile(const ProfileModel& model);
// The drawing of the current run's results.
ProfileDrawing profile_drawing(const RunContext& ctx);
// The SVG document of a drawing.
std::string drawing_svg(const ProfileDrawing& d);
// The same text written to `out` piece by piece.
void write_drawing_svg(const ProfileDrawing& d, std::ostream& out);

// Writes base + "_profile.svg" after a computing run when the drawing is
// switched on; the file is added to the run's written files.
void draw_profile(RunContext& ctx);

// The one drawing of a variant computed in flow cases, written under the
// variant's base name (ctx): the model of the design case (made by
// profile_model from its run) with its energy line, and the water level of
// every other case (names[k] of the model others[k]).
// The model of all cases of a run: the design case's model (made by
// profile_model from its run) with the other cases' water levels, headed by
// the variant's name (ctx).
ProfileModel case_profile_model(const RunContext& ctx, ProfileModel design, const std::string& designName,
                                const std::vector<const ProfileModel*>& others,
                                const std::vector<std::string>& names);
// The drawing of the last run of ctx: with flow cases that of all cases.
ProfileDrawing run_profile_drawing(const RunContext& ctx);
void draw_case_profiles(RunContext& ctx, ProfileModel design, const std::string& designName,
                        const std::vector<const ProfileModel*>& others, const std::vector<std::string>& names);

}  // namespace rivola::output
