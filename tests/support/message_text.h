// message_text.h -- the exact bytes a diagnostic prints, for tests that capture standard output.
#pragma once

#include <string>

#include "core/diagnostics.h"

namespace ostrel2 {
namespace reference {

// The text a message with one %f prints for the given value.
std::string FormattedMessage(Message message, double value);

}  // namespace reference
}  // namespace ostrel2
