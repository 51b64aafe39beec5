// message_text.cpp -- printed message texts (see message_text.h).
#include "support/message_text.h"

#include <cstdio>

namespace ostrel2 {
namespace reference {

std::string FormattedMessage(Message message, double value) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, MessageText(message), value);
    return buffer;
}

}  // namespace reference
}  // namespace ostrel2
