#pragma once

// The sentence of each message code, in tables by subject. In a sentence, {0} is the message's
// first arg, {e1} the engine code in its second arg said in words, {s0} an OpenStatus said,
// {m0} its first part said, {*1} the args from the second on as a list; "{(0)}" and "{;m1}"
// are optional: said in brackets, or after "；", only when the message carries them.
#include <utility>
#include <vector>

#include "platform/problems.h"

namespace threadgauge {

using Sentence = std::pair<MessageCode, const char*>;
extern const std::vector<Sentence> kFileSentences;
extern const std::vector<Sentence> kRegisterSentences;

}  // namespace threadgauge
