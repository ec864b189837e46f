// What the station's refusals and runs say, in the operator's language: the
// front ends and the journal word them so.
#pragma once

#include "app/couche.h"
#include "app/poste_envoi.h"

namespace tarvik::app {

// What the operator is told of a refusal by the limits or of the grid's
// values, without its final full stop: the doubtful file, or each value
// refused, a blank line between them; with `valeursMax`, the first values
// only, and how many more there were.
QString TexteRefus(const RefusEnvoi &refus, qsizetype valeursMax = -1);

// Which steps of a run that ended early went, and which did not.
QString BilanEnvoi(const DeroulementEnvoi &deroulement);

} // namespace tarvik::app
