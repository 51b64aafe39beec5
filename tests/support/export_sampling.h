// export_sampling.h -- the precisions at which the tests that call every export many times take the
// dear ones (the cost column of api/export_table.h).
//
// A dear export takes from a tenth of a second to seconds per call at precision 303 in a release
// build, and five to twenty times that under the sanitizers. Where such a test draws many
// precisions for the cheap exports it gives the dear ones these three: one limb, a few, and thirty.
// Each dear export still meets precision 303 in the interface test of the largest precision, in
// the stack test, in the Windows corpus and in its own unit tests.
#pragma once

#include <cstdint>

#include "api/export_kinds.h"

namespace ostrel2::reference {

inline constexpr int32_t kDearPrecisions[] = {1, 5, 30};

inline bool IsDear(const api::Export& e) { return e.cost == api::Cost::Dear; }

}  // namespace ostrel2::reference
