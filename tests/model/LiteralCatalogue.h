#pragma once
// The grouping and sorting passes exactly as the design spells them out: bubble sorts of n - 1
// passes and linear look-ups. Slow on purpose; the fast versions must give the same results.

#include "model/Catalogue.h"
#include "model/TextRules.h"

void LiteralSortTextList(CStringArray& list, bool ascending);
void LiteralSortSoftwareList(CSoftwareArray& list, bool ascending);
bool LiteralClassifyCatalogue(const CSoftwareArray& catalogue, int mode, CSoftwareArrayArray& groups,
                              CStringArray& names);
