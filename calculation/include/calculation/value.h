#pragma once

#include <optional>
#include <vector>

#include "calculation/notice.h"

namespace threadgauge {

// A number in a gauge formula, or the reasons it cannot be had. Arithmetic carries the
// reasons along, so a field computed from a missing tolerance stays empty and says why,
// while fields that do not need it are still computed. Known numbers combine exactly as
// doubles do, term by term in the order written.
class Value {
 public:
  Value(double number) : number_(number) {}  // NOLINT: formulas mix numbers and values
  static Value Missing(std::vector<Notice> why) {
    Value v(0.0);
    v.number_.reset();
    v.why_ = std::move(why);
    return v;
  }

  bool known() const { return number_.has_value(); }
  double number() const { return *number_; }
  const std::vector<Notice>& why() const { return why_; }

  friend Value operator+(const Value& a, const Value& b) {
    return Combine(a, b, a.known() && b.known() ? *a.number_ + *b.number_ : 0);
  }
  friend Value operator-(const Value& a, const Value& b) {
    return Combine(a, b, a.known() && b.known() ? *a.number_ - *b.number_ : 0);
  }
  friend Value operator*(const Value& a, const Value& b) {
    return Combine(a, b, a.known() && b.known() ? *a.number_ * *b.number_ : 0);
  }
  friend Value operator/(const Value& a, const Value& b) {
    return Combine(a, b, a.known() && b.known() ? *a.number_ / *b.number_ : 0);
  }

 private:
  static Value Combine(const Value& a, const Value& b, double result) {
    if (a.known() && b.known()) return Value(result);
    std::vector<Notice> why = a.why_;
    AddNotices(why, b.why_);
    return Missing(std::move(why));
  }

  std::optional<double> number_;
  std::vector<Notice> why_;
};

}  // namespace threadgauge
