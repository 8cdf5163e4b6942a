#include "calculation/number_reading.h"

#include <string>

#include "tolerance/number_text.h"

namespace threadgauge {

double ReadShownNumber(std::string_view text) {
  std::string plain;
  for (char c : text) {
    if (c != ',') plain += c;
  }
  return ReadLeadingNumber(plain);
}

}  // namespace threadgauge
