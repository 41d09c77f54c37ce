#include "hydraulics/m_rivola_vena_contracta.h"

#include "model/context.h"

namespace rivola::hyd {

void vena_contracta_define(RunContext& ctx) {
    // Contraction of the jet below a sluice gate: at h/a = 1 the opening is
    // just submerged and the jet is not contracted; from h/a of about 7 on the
    // coefficient is that of a sharp-edged opening under deep water.
    static constexpr float kHa[VenaContractaTable::kPoints] = {
        1.0f, 1.05f, 1.1f, 1.5f, 1.65f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 100.0f};
    static constexpr float kPsi[VenaContractaTable::kPoints] = {
        1.0f, 0.75f, 0.7f, 0.65f, 0.64f, 0.63f, 0.624f, 0.623f, 0.6225f, 0.622f, 0.6215f, 0.6215f};
    VenaContractaTable& t = ctx.plant.vc;
    for (int j = 1; j <= VenaContractaTable::kPoints; ++j) {
        t.ha[j] = kHa[j - 1];
        t.psi[j] = kPsi[j - 1];
    }
    t.n = VenaContractaTable::kPoints;
}

}  // namespace rivola::hyd
