#pragma once

#include <array>

#include "calculation/form_fields.h"

namespace threadgauge {

// The keys of the JSON's "fields", "visible" and "captions": the names of the old form's
// controls, which scripts read. They stay as they are whatever the program calls its values.
// These lists of texts are each file's own (internal linkage), as MinGW-w64's g++ 12 needs.
[[maybe_unused]] constexpr std::array<const char*, kOutputFields.size()> kFieldKeys = {
    "Text2", "Text3", "Text4", "Text5", "Text6", "Text8", "Text9", "Text18", "Text27", "Text28"};
[[maybe_unused]] constexpr std::array<const char*, kSwitchables.size()> kVisibleKeys = {
    "Label11", "Label16", "Label19", "Label20", "Text3", "Text18"};
[[maybe_unused]] constexpr std::array<const char*, kCaptions.size()> kCaptionKeys = {"Label17",
                                                                                     "Label18"};

}  // namespace threadgauge
