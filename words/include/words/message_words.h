#pragma once

#include <optional>
#include <string>

#include "platform/problems.h"

namespace threadgauge {

// The sentence a message says, with its data in place.
std::string Say(const Message& message);
// Nothing to say: "".
std::string Say(const std::optional<Message>& message);

}  // namespace threadgauge
