#include "hydraulics/hyd_abort.h"

#include <string>

#include "run/context.h"
#include "support/m_strings.h"
#include "ui/services.h"

namespace rivola::hyd {

namespace {

std::string message_text(const RunContext& ctx, int nr, const std::string& name) {
    const bool en = ctx.english();
    const std::string contact = en ? "Contact Marlow Wasserbau!" : "Bitte an Marlow Wasserbau wenden!";
    switch (nr) {
        case 82:
            return en ? "error:  A cross section with more than 3 berms is not accepted."
                      : "Fehler: Das aktuelle Profil weißt mehr als 3 Bermen-\n"
                        "bereiche auf. Eine größere Anzahl ist in\n"
                        "RIVOLA bisher nicht vorgesehen.";
        case 84:
            return (en ? "iteration in " + name + "/Regula Falsi iteration steps > 1000 !"
                       : "Iteration in " + name + "/Regula Falsi Iterationsschritte > 1000 !") +
                   "\n" + contact;
        case 101:
            return (en ? "abort by FKTHYA/" : "Abbruch durch FKTHYA/") + name + "!\n" + contact;
        case 102:
            return (en ? "abort by GAUSS: number of equations > Maximum"
                       : "Abbruch durch GAUSS: Anzahl der Gleichungen > Maximum") +
                   std::string("\n") + contact;
        case 103:
            return (en ? "abort by GAUSS: range of vectors in coefficient matrix too less!"
                       : "Abbruch durch GAUSS: Vektoren der Koeffizientenmatrix nicht "
                         "ausreichend dimensioniert!") +
                   std::string("\n") + contact;
        case 104:
            return (en ? "abort by GAUSS: singular matrix!" : "Abbruch durch GAUSS: singuläre Matrix!") +
                   std::string("\n") + contact;
        case 105:
            return (en ? "iteration in HOBEN > 1000 iteration steps!"
                       : "Iteration in HOBEN > 1000 Iterationsschritte!") +
                   std::string("\n") + contact;
        case 106:
            return (en ? "iteration in TANGNT > 1000 iteration steps!"
                       : "Iteration in TANGNT > 1000 Iterationsschritte!") +
                   std::string("\n") + contact;
        default:
            return "Fehleingabe in screen_DLGedit!!!";
    }
}

}  // namespace

void abort_run(RunContext& ctx, int nr, std::string_view name) {
    if (ctx.ui) ctx.ui->log(message_text(ctx, nr, support::trim(name)));
    if (ctx.run.ierr < 2) ctx.run.ierr = 2;
}

}  // namespace rivola::hyd
