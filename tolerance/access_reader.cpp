#include "tolerance/access_reader.h"

// mdbtools.h declares its glib types inside extern "C"; glib must come first, from C++.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

constexpr int kChineseCodePage = 936;

struct HandleCloser {
  void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableCloser {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

Handle Open(const std::filesystem::path& file) {
  const std::string name = Utf8(file);
  return Handle(mdb_open(name.c_str(), MDB_NOFLAGS));
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

std::variant<std::vector<TableData>, ReadFailure> ReadAccessTables(
    const std::filesystem::path& file, std::optional<int> code_page) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    return ReadFailure{"找不到 Access 数据库文件"};
  }
  Handle mdb = Open(file);
  if (!mdb) return ReadFailure{"不是可读的 Access 数据库文件"};

  if (mdb->f->jet_version == MDB_VER_JET3) {
    // Text of Access 97 files is in the writer's code page; libmdb converts from the one
    // named in MDB_JET3_CHARSET, read when the file is opened.
    const int recorded = mdb->f->code_page;
    const int chosen = code_page ? *code_page : (recorded != 0 ? recorded : kChineseCodePage);
    SetEnvironmentVariable("MDB_JET3_CHARSET", "CP" + std::to_string(chosen));
    mdb = Open(file);
    if (!mdb) return ReadFailure{"不是可读的 Access 数据库文件"};
  }

  if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) return ReadFailure{"无法读取 Access 数据库的表目录"};
  std::vector<TableData> tables;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    tables.push_back(ReadTable(entry));
  }
  return tables;
}

}  // namespace threadgauge
