#pragma once
// The process-wide catalogue: every record, its groups, and how they are grouped and sorted.

#include "model/Software.h"

// Owns every record once start-up has set IsOwner.
extern CSoftwareArray SoftwareList;
extern CSoftwareArrayArray GroupList;
extern CStringArray GroupNames;
extern int CurrentClassifyMode;
extern int SortDescending;

// Builds one non-owning group per distinct name of the mode; false (nothing changed) for a mode
// outside 0..2.
bool ClassifyCatalogue(const CSoftwareArray& catalogue, int mode, CSoftwareArrayArray& groups,
                       CStringArray& names);

// Sorts the list in place by its SortKey.
void SortSoftwareList(CSoftwareArray& list, bool ascending);

bool PriceGreater(const SoftwarePrice& a, const SoftwarePrice& b);
bool PriceLess(const SoftwarePrice& a, const SoftwarePrice& b);
bool PriceDiffers(const SoftwarePrice& a, const SoftwarePrice& b);

// Appends to SoftwareList and regroups with CurrentClassifyMode; the new size, or 0 when the
// record is already there.
int InsertSoftware(CSoftware* record);
// Deletes the records at these positions of SoftwareList (numbered before the call, any order)
// and regroups; returns what ClassifyCatalogue returns.
bool RemoveSoftware(const int* positions, int count);
