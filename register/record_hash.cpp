#include "record_hash.h"

#include <cstdio>

#include "sha256.h"

namespace threadgauge {
namespace {

// Each part as its name, its length and its bytes, so that no text can pass for another
// part or move a boundary.
class Canonical {
 public:
  void Text(const char* name, const std::string& value) {
    bytes_ += name;
    bytes_ += ':' + std::to_string(value.size()) + ':';
    bytes_ += value;
    bytes_ += '\n';
  }
  void Number(const char* name, double value) {
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.17g", value);  // round-trips every double
    Text(name, digits);
  }
  void Number(const char* name, const std::optional<double>& value) {
    if (value) {
      Number(name, *value);
    } else {
      Text(name, "null");
    }
  }
  void Integer(const char* name, long long value) { Text(name, std::to_string(value)); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_ = "threadgauge-record-1\n";
};

}  // namespace

std::string RecordHash(const InspectionRecord& r, const std::string& previous_hash) {
  Canonical c;
  c.Text("previous", previous_hash);
  c.Integer("id", r.id);
  c.Text("gauge", r.gauge_number);
  c.Text("date", r.date);
  c.Text("inspector", r.inspector);
  c.Number("temperature", r.temperature);
  c.Text("method", MethodKey(r.method));
  c.Number("element", r.element);
  c.Text("element_certificate", r.element_certificate);
  c.Text("instrument", r.instrument.name);
  c.Text("instrument_number", r.instrument.number);
  c.Text("instrument_certificate", r.instrument.certificate);
  c.Text("instrument_valid_until", r.instrument.valid_until);
  c.Number("major", r.major);
  c.Number("uncertainty", r.uncertainty);
  c.Number("coverage_k", r.coverage_k);
  c.Text("notes", r.notes);
  c.Integer("acceptance", r.acceptance);
  c.Integer("imported", r.imported);
  c.Text("replaces", r.replaces ? std::to_string(*r.replaces) : "null");
  c.Text("thread", r.thread);
  c.Text("kind", r.kind);
  c.Text("length", r.length);
  c.Text("database_file", r.database_file);
  c.Text("database_hash", r.database_hash);
  c.Text("program_version", r.program_version);
  c.Number("limit_low", r.limit_low);
  c.Number("limit_high", r.limit_high);
  c.Number("wear_limit", r.wear_limit);
  c.Integer("has_wear_limit", r.has_wear_limit);
  c.Text("limits_note", r.limits_note);
  c.Text("verdict", r.verdict);
  c.Text("verdict_text", r.verdict_text);
  c.Number("margin_um", r.margin_um);
  c.Text("margin_limit", r.margin_limit);
  c.Text("created", r.created);
  c.Integer("readings", static_cast<long long>(r.readings.size()));
  for (const MeasuredReading& reading : r.readings) {
    c.Number("value", reading.value);
    c.Number("pitch_diameter", reading.pitch_diameter);
    c.Text("position", reading.position);
  }
  c.Integer("checks", static_cast<long long>(r.checks.size()));
  for (const CheckPlugResult& check : r.checks) {
    c.Text("plug", check.plug);
    c.Integer("passed", check.passed);
    c.Text("plug_number", check.gauge_number);
  }
  return Sha256Hex(c.bytes());
}

}  // namespace threadgauge
