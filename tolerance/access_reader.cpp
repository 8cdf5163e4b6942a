#include "tolerance/access_reader.h"

// mdbtools.h declares its glib types inside extern "C"; glib must come first, from C++.
// On Windows libmdb is built with its own small replacement for glib instead.
#ifndef _WIN32
#include <glib.h>
#endif
#include <mdbtools.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/utf8.h"

namespace threadgauge {
namespace {

constexpr int kChineseCodePage = 936;             // GBK, mainland China
constexpr int kTraditionalChineseCodePage = 950;  // Big5, Taiwan and Hong Kong

struct HandleCloser {
  void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableCloser {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

// libmdb takes a Jet 3 file's character set from MDB_JET3_CHARSET when it opens the file;
// it is set for this one opening and put back at once, so no other file is read by it.
Handle Open(const std::filesystem::path& file, std::optional<int> code_page) {
  const std::string name = Utf8(file);
  std::optional<ScopedEnvironmentVariable> charset;
  if (code_page) charset.emplace("MDB_JET3_CHARSET", "CP" + std::to_string(*code_page));
  return Handle(mdb_open(name.c_str(), MDB_NOFLAGS));
}

// Whether a table or a column of the file carries one of the names, read in the code page
// the file was opened with.
bool FindsAnyName(MdbHandle* mdb, const std::vector<std::string>& names) {
  if (names.empty() || !mdb_read_catalog(mdb, MDB_TABLE)) return false;
  const auto wanted = [&](const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    if (wanted(entry->object_name)) return true;
    std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(entry));
    if (!table) continue;
    mdb_read_columns(table.get());
    for (unsigned c = 0; c < table->num_cols; ++c) {
      if (wanted(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c))->name)) return true;
    }
  }
  return false;
}

bool IsNumericType(int type) {
  switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
      return true;
    default:
      return false;
  }
}

TableData ReadTable(MdbCatalogEntry* entry) {
  TableData data;
  data.name = entry->object_name;
  std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(entry));
  if (!table) return data;
  mdb_read_columns(table.get());
  mdb_rewind_table(table.get());

  const unsigned count = table->num_cols;
  std::vector<std::vector<char>> buffers(count, std::vector<char>(MDB_BIND_SIZE));
  std::vector<int> lengths(count, 0);
  std::vector<bool> bound(count, false);
  for (unsigned i = 0; i < count; ++i) {
    auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    data.columns.emplace_back(column->name);
    data.numeric.push_back(IsNumericType(column->col_type));
    // Binary objects are no tolerance values; they are left unread.
    if (column->col_type != MDB_OLE) {
      mdb_bind_column(table.get(), static_cast<int>(i + 1), buffers[i].data(), &lengths[i]);
      bound[i] = true;
    }
  }
  while (mdb_fetch_row(table.get())) {
    std::vector<std::optional<std::string>> row;
    for (unsigned i = 0; i < count; ++i) {
      if (bound[i] && lengths[i] > 0) {
        row.emplace_back(std::string(buffers[i].data(), static_cast<size_t>(lengths[i])));
      } else {
        row.emplace_back(std::nullopt);
      }
    }
    data.rows.push_back(std::move(row));
  }
  return data;
}

}  // namespace

bool IsAccessFile(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".mdb" || extension == ".accdb";
}

std::variant<AccessTables, ReadFailure> ReadAccessTables(const std::filesystem::path& file,
                                                         const AccessReadOptions& options) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    return ReadFailure{{MessageCode::AccessFileMissing}};
  }
  Handle mdb = Open(file, std::nullopt);
  if (!mdb) return ReadFailure{{MessageCode::AccessNotReadable}};

  AccessTables read;
  if (mdb->f->jet_version == MDB_VER_JET3) {
    // Jet 3 text is in the writer's code page, which the header may not tell truly: take
    // the first candidate under which the names the caller looks for are found.
    const int recorded = mdb->f->code_page;
    std::vector<int> candidates;
    if (options.code_page) {
      candidates = {*options.code_page};
    } else {
      for (int candidate : {recorded, kChineseCodePage, kTraditionalChineseCodePage}) {
        if (candidate != 0 &&
            std::find(candidates.begin(), candidates.end(), candidate) == candidates.end()) {
          candidates.push_back(candidate);
        }
      }
    }
    int chosen = recorded != 0 ? recorded : kChineseCodePage;
    if (options.code_page) chosen = *options.code_page;
    for (int candidate : candidates) {
      Handle trial = Open(file, candidate);
      if (trial && FindsAnyName(trial.get(), options.expected_names)) {
        chosen = candidate;
        break;
      }
    }
    mdb = Open(file, chosen);
    if (!mdb) return ReadFailure{{MessageCode::AccessNotReadable}};
    read.code_page = CodePageChoice{chosen, recorded};
  }

  if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
    return ReadFailure{{MessageCode::AccessCatalogUnreadable}};
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    read.tables.push_back(ReadTable(entry));
  }
  return read;
}

}  // namespace threadgauge
