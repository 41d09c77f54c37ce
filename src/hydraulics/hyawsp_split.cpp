// Element computations of the water-level walk where flows split or join, and
// the special pipe elements.
#include "hydraulics/hyawsp.h"
#include "run/context.h"
#include "ui/services.h"

namespace rivola::hyd {

namespace {

// Stops the run for an element whose type this build cannot compute yet, so
// that a plant with such elements never reports levels that were not computed.
void not_computed(RunContext& ctx, int i, const char* typeDe, const char* typeEn) {
    if (ctx.failed()) return;
    const Element& e = ctx.plant.el[i];
    const bool en = ctx.english();
    const std::string text =
        en ? std::string("error: element ") + e.bez + ": " + typeEn +
                 " cannot be computed by this version of the program."
           : std::string("Fehler: Element ") + e.bez + ": " + typeDe +
                 " kann von dieser Programmversion nicht berechnet werden.";
    if (ctx.ui) ctx.ui->message(en ? "error" : "Fehler", text);
    if (ctx.run.ierr < 2) ctx.run.ierr = 2;
}

}  // namespace

void hyazwg(RunContext& ctx, int i) { not_computed(ctx, i, "Aufteilungen", "divisions"); }
void hyaauf(RunContext& ctx, int i) { not_computed(ctx, i, "Aufteilungen", "divisions"); }
void hyazus(RunContext& ctx, int i) { not_computed(ctx, i, "Zusammenflüsse", "confluences"); }
void hyasam(RunContext& ctx, int i) { not_computed(ctx, i, "Sammelrinnen", "collection flumes"); }
void hyaver(RunContext& ctx, int i) { not_computed(ctx, i, "Verteilerrinnen", "distribution flumes"); }
void hyatau(RunContext& ctx, int i) { not_computed(ctx, i, "Tauchrohre", "immersion tubes"); }
void hya_heber(RunContext& ctx, int, int j) { not_computed(ctx, j, "Heberwehre", "siphon weirs"); }

}  // namespace rivola::hyd
