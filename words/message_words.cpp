#include "words/message_words.h"

#include <cstdlib>

#include "message_sentences.h"
#include "words/file_words.h"

namespace threadgauge {
namespace {

// Each code's sentence, found once.
const char* SentenceOf(MessageCode code) {
  static const std::vector<const char*> sentences = [] {
    std::vector<const char*> all(static_cast<size_t>(MessageCode::EndOfCodes), "");
    for (const auto* table : {&kFileSentences, &kRegisterSentences}) {
      for (const auto& [each, sentence] : *table) all[static_cast<size_t>(each)] = sentence;
    }
    return all;
  }();
  const auto at = static_cast<size_t>(code);
  return at < sentences.size() ? sentences[at] : "";
}

// One placeholder's text: "0" an arg, "*1" the args from the second on in a list, "e0" an
// engine code said, "s0" an OpenStatus said, "m0" a part said. An
// optional one, "(…)" or ";…", is said in brackets or after "；" when there is something to
// say, and left out when the message does not carry it.
std::string Filled(const Message& message, std::string_view slot) {
  std::string before, after;
  if (slot.starts_with('(') && slot.ends_with(')')) {
    before = "（", after = "）";
    slot = slot.substr(1, slot.size() - 2);
  } else if (slot.starts_with(';')) {
    before = "；";
    slot = slot.substr(1);
  }
  const char kind =
      std::string_view("ems*").find(slot.front()) != std::string_view::npos ? slot.front() : 'a';
  const size_t index =
      std::strtoul(std::string(slot.substr(kind == 'a' ? 0 : 1)).c_str(), nullptr, 10);
  std::string text;
  if (kind == '*') {
    for (size_t i = index; i < message.args.size(); ++i) {
      text += (i == index ? "" : "、") + message.args[i];
    }
  } else if (kind == 'm') {
    if (index < message.parts.size()) text = Say(message.parts[index]);
  } else if (index < message.args.size()) {
    const std::string& arg = message.args[index];
    if (kind == 'e') {
      text = DescribeEngineCode(std::atoi(arg.c_str()));
    } else if (kind == 's') {
      text = DescribeOpenStatus(static_cast<OpenStatus>(std::atoi(arg.c_str())));
    } else {
      text = arg;
    }
  }
  return text.empty() ? text : before + text + after;
}

constexpr size_t kListedAtMost = 10;  // items named before "等（共 N 个）"

std::string Listed(const std::vector<std::string>& items, bool quoted) {
  std::string out;
  for (size_t i = 0; i < items.size() && i < kListedAtMost; ++i) {
    out += (i ? "、" : "") + (quoted ? "“" + items[i] + "”" : items[i]);
  }
  if (items.size() > kListedAtMost) out += " 等（共 " + std::to_string(items.size()) + " 个）";
  return out;
}

}  // namespace

std::string Say(const Message& message) {
  if (message.code == MessageCode::ListOf || message.code == MessageCode::QuotedListOf) {
    return Listed(message.args, message.code == MessageCode::QuotedListOf);
  }
  const std::string_view sentence = SentenceOf(message.code);
  std::string out;
  size_t at = 0;
  while (at < sentence.size()) {
    const size_t open = sentence.find('{', at);
    const size_t close = open == std::string_view::npos ? open : sentence.find('}', open);
    if (close == std::string_view::npos) {
      out.append(sentence.substr(at));
      break;
    }
    out.append(sentence.substr(at, open - at));
    out += Filled(message, sentence.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return out;
}

std::string Say(const std::optional<Message>& message) { return message ? Say(*message) : ""; }

}  // namespace threadgauge
