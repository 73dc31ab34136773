// Linked into every Windows test program: a file held for good is reported after a quarter of a
// second instead of two, so the many tests that hold one stay quick. Tests of the wait itself set
// the program's own wait with CInUseWait.
#include "storage/FileAccess.h"
#include "tests/support/InUseWait.h"

namespace {
struct CShortInUseWait {
    CShortInUseWait() { SetInUseWait(TestInUseWait); }
} ShortInUseWait;
}  // namespace
