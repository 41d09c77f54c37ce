// The profile drawing on standard sheets for the report: each strand drawn
// to scale (lengths and heights from the usual series, heights exaggerated
// as needed), a strand longer than a sheet continued on the next sheet with
// a match line, a title block (title, variant, flow case, date of the run,
// program version, the two scales, sheet number) and a scale bar. Written
// as one PDF with all sheets (base + "_profile.pdf") and the SVG of each
// sheet (base + "_profile_NNN.svg").
#pragma once

#include <string>
#include <vector>

#include "output/result_files.h"

#include "output/profile_drawing.h"

namespace rivola::output {

// A sheet size, landscape, in millimetres.
struct SheetFormat {
    std::string name;
    double width = 420.0, height = 297.0;
};
// "A1", "A3", "A4" (without regard to case); false for another name.
bool sheet_format(const std::string& name, SheetFormat& f);

// The scales of a strand: lengths 1:length, heights 1:height.
struct SheetScales {
    int length = 500, height = 50;
};
// The largest drawing (smallest scale number) of the usual series at which
// `extent` metres fit into `room` millimetres: lengths from 1:100 to 1:1000
// (a longer strand continues on further sheets at 1:1000), heights from
// 1:10 to 1:1000.
int length_scale(double extent, double room);
int height_scale(double extent, double room);

struct SheetText {
    std::vector<std::string> title;     // the plant's title lines
    std::string variant, flowCase, date, version;
    bool english = false;
    int markIsys = 0, markEnd = 0;      // the element end marked as the limit of the capacity (0: none)
};

struct Sheet {
    ProfileDrawing page;                // in points (1/72 inch), y downwards
    int panel = 0;                      // strand drawn
    SheetScales scales;
    double x0 = 0.0, x1 = 0.0;          // flow lengths drawn, m
};

// Lays out every strand of the model on sheets of format f.
std::vector<Sheet> layout_sheets(const ProfileModel& m, const SheetFormat& f, const SheetText& text);

// Writes the sheets of the model after a run (the PDF, then an SVG file per
// sheet) in the run's sheet format (default A3), and returns the outcome of
// each file for the run to be told of (tell_file).
std::vector<FileOutcome> write_sheets(RunContext& ctx, const ProfileModel& m);

}  // namespace rivola::output
