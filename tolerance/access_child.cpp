#include "tolerance/access_child.h"

#include <fstream>
#include <sstream>

#include "platform/data_location.h"
#include "platform/platform.h"
#include "platform/utf8.h"

namespace threadgauge {
namespace {

#ifdef _WIN32
constexpr const char* kReaderName = "threadgauge-access-reader.exe";
#else
constexpr const char* kReaderName = "threadgauge-access-reader";
#endif

// Length-prefixed fields: every text passes whole, whatever bytes it holds.
void Put(std::string& out, std::string_view text) {
  out += std::to_string(text.size());
  out += ':';
  out += text;
}

class Taker {
 public:
  explicit Taker(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::string> Text() {
    const size_t colon = bytes_.find(':', at_);
    if (colon == std::string_view::npos || colon == at_ || colon - at_ > 12) return std::nullopt;
    size_t size = 0;
    for (size_t i = at_; i < colon; ++i) {
      if (bytes_[i] < '0' || bytes_[i] > '9') return std::nullopt;
      size = size * 10 + static_cast<size_t>(bytes_[i] - '0');
    }
    if (size > bytes_.size() - colon - 1) return std::nullopt;
    at_ = colon + 1 + size;
    return std::string(bytes_.substr(colon + 1, size));
  }
  std::optional<size_t> Count() {
    const auto text = Text();
    if (!text || text->empty() || text->size() > 12) return std::nullopt;
    size_t n = 0;
    for (char c : *text) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + static_cast<size_t>(c - '0');
    }
    return n;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

std::string EncodeAccessTables(const AccessTables& read) {
  std::string out;
  Put(out, read.code_page ? std::to_string(read.code_page->used) : "");
  Put(out, read.code_page ? std::to_string(read.code_page->recorded) : "");
  Put(out, std::to_string(read.tables.size()));
  for (const TableData& table : read.tables) {
    Put(out, table.name);
    Put(out, std::to_string(table.columns.size()));
    for (size_t c = 0; c < table.columns.size(); ++c) {
      Put(out, table.columns[c]);
      Put(out, c < table.numeric.size() && table.numeric[c] ? "1" : "0");
    }
    Put(out, std::to_string(table.rows.size()));
    for (const auto& row : table.rows) {
      for (size_t c = 0; c < table.columns.size(); ++c) {
        const bool has = c < row.size() && row[c].has_value();
        Put(out, has ? "=" + *row[c] : "");  // "" is NULL, "=" an empty text
      }
    }
  }
  return out;
}

std::optional<AccessTables> DecodeAccessTables(std::string_view bytes) {
  Taker in(bytes);
  AccessTables read;
  const auto used = in.Text(), recorded = in.Text();
  if (!used || !recorded) return std::nullopt;
  if (!used->empty()) {
    read.code_page = CodePageChoice{std::stoi(*used), recorded->empty() ? 0 : std::stoi(*recorded)};
  }
  const auto tables = in.Count();
  if (!tables) return std::nullopt;
  for (size_t t = 0; t < *tables; ++t) {
    TableData table;
    const auto name = in.Text();
    const auto columns = in.Count();
    if (!name || !columns) return std::nullopt;
    table.name = *name;
    for (size_t c = 0; c < *columns; ++c) {
      const auto column = in.Text(), numeric = in.Text();
      if (!column || !numeric) return std::nullopt;
      table.columns.push_back(*column);
      table.numeric.push_back(*numeric == "1");
    }
    const auto rows = in.Count();
    if (!rows) return std::nullopt;
    for (size_t r = 0; r < *rows; ++r) {
      std::vector<std::optional<std::string>> row;
      for (size_t c = 0; c < *columns; ++c) {
        const auto cell = in.Text();
        if (!cell) return std::nullopt;
        row.push_back(cell->empty() ? std::nullopt : std::optional(cell->substr(1)));
      }
      table.rows.push_back(std::move(row));
    }
    read.tables.push_back(std::move(table));
  }
  if (!in.AtEnd()) return std::nullopt;
  return read;
}

std::filesystem::path AccessReaderProgram() {
  const std::filesystem::path program = ExecutableDirectory();
  const std::filesystem::path beside = program / kReaderName;
  std::error_code ec;
  if (std::filesystem::is_regular_file(beside, ec)) return beside;
  return program.parent_path() / "libexec" / "threadgauge" / kReaderName;
}

std::variant<AccessTables, ReadFailure> ReadAccessTablesApart(const std::filesystem::path& file,
                                                              const AccessReadOptions& options,
                                                              const AccessReadLimits& limits,
                                                              const std::filesystem::path& reader) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    return ReadFailure{{MessageCode::AccessFileMissing}, OpenStatus::FileMissing};
  }
  if (!std::filesystem::is_regular_file(reader, ec)) {
    return ReadFailure{{MessageCode::AccessReaderMissing, {Utf8(reader)}}, OpenStatus::NotReadable};
  }
  const std::filesystem::path out =
      std::filesystem::temp_directory_path(ec) /
      PathFromUtf8("threadgauge-access-" + std::to_string(reinterpret_cast<std::uintptr_t>(&out)) +
                   "-" + std::to_string(ProcessId()) + ".tables");
  std::vector<std::string> args = {Utf8(file), Utf8(out), std::to_string(limits.memory_bytes)};
  if (options.code_page) args.push_back("--code-page=" + std::to_string(*options.code_page));
  for (const std::string& name : options.expected_names) args.push_back("--expect=" + name);

  const ChildOutcome child = RunChild(reader, args, {limits.time, limits.memory_bytes});
  const std::string bytes = ReadFile(out);
  std::filesystem::remove(out, ec);
  switch (child.end) {
    case ChildEnd::TimedOut:
      return ReadFailure{
          {MessageCode::AccessReadTimedOut, {std::to_string(limits.time.count() / 1000)}},
          OpenStatus::TimedOut};
    case ChildEnd::NotStarted:
      return ReadFailure{{MessageCode::AccessReaderNotStarted, {Utf8(reader)}},
                         OpenStatus::NotReadable};
    case ChildEnd::Crashed:
      return ReadFailure{{MessageCode::AccessReaderCrashed}, OpenStatus::ReaderFailed};
    case ChildEnd::Exited:
      break;
  }
  if (child.exit_code == 0) {
    if (auto tables = DecodeAccessTables(bytes)) return *std::move(tables);
    return ReadFailure{{MessageCode::AccessTablesIncomplete}, OpenStatus::ReaderFailed};
  }
  // A refusal comes back as its code; anything else is a reader that broke down.
  if (child.exit_code == 1) {
    for (MessageCode refusal : {MessageCode::AccessFileMissing, MessageCode::AccessNotReadable,
                                MessageCode::AccessCatalogUnreadable}) {
      if (bytes == std::to_string(static_cast<int>(refusal))) {
        return ReadFailure{{refusal}, OpenStatus::NotADatabase};
      }
    }
  }
  return ReadFailure{{MessageCode::AccessReaderCrashed}, OpenStatus::ReaderFailed};
}

}  // namespace threadgauge
