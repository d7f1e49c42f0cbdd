// cocina-db export FILE TABLE: the rows of a table as CSV on standard
// output, streamed, in the format of jet/csv.h.
//
// A million-line history goes out in chunks: records are appended to one
// buffer and the buffer is written with one write() per chunk, so the cost
// is the scan and the formatting, not a stream call per value. Memory stays
// at one chunk whatever the table's size.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "command.h"
#include "jet/csv.h"
#include "jet/database.h"

namespace cocinadb {
namespace {

// Standard output in large chunks. After a failed write it keeps the
// error and drops everything else.
class ChunkedOutput {
 public:
  static constexpr size_t kChunk = 1 << 20;

  ChunkedOutput() { buffer_.reserve(kChunk + (64 << 10)); }
  std::string& buffer() { return buffer_; }
  bool failed() const { return error_ != 0; }
  const char* reason() const { return std::strerror(error_); }

  // Writes the buffer out once it holds a chunk.
  void maybeFlush() {
    if (buffer_.size() >= kChunk) flush();
  }
  void flush() {
    const char* at = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0 && error_ == 0) {
      ssize_t n = ::write(STDOUT_FILENO, at, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : EIO;
        break;
      }
      at += n;
      left -= static_cast<size_t>(n);
    }
    buffer_.clear();
  }

 private:
  std::string buffer_;
  int error_ = 0;
};

int runExport(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageFailure("export FILE TABLE");
  const std::string& file = args[0];
  ChunkedOutput out;
  auto fail = [&](const jet::Error& e) {
    // What was read before the failure still reaches the reader.
    out.flush();
    std::cerr << "cocina-db: " << file << ": " << e.description << "\n";
    return kExitFailure;
  };
  auto db = jet::Database::open(file, jet::OpenOptions{.readOnly = true});
  if (!db) return fail(db.error());
  auto schema = (*db)->table(args[1]);
  if (!schema) return fail(schema.error());
  std::vector<int> all;
  std::vector<std::string> header;
  for (size_t i = 0; i < schema->columns.size(); ++i) {
    all.push_back(static_cast<int>(i));
    header.push_back(jet::csv::headerField(schema->columns[i].name));
  }
  auto cursor = (*db)->scan(schema->name, all);
  if (!cursor) return fail(cursor.error());
  std::string& buffer = out.buffer();
  buffer += jet::csv::record(header);
  while (!out.failed()) {
    auto more = (*cursor)->next();
    if (!more) return fail(more.error());
    if (!*more) break;
    bool first = true;
    for (const auto& v : (*cursor)->values()) {
      if (!first) buffer.push_back(',');
      first = false;
      jet::csv::appendField(buffer, v);
    }
    buffer += jet::csv::kRecordEnd;
    out.maybeFlush();
  }
  out.flush();
  if (out.failed()) {
    std::cerr << "cocina-db: standard output: " << out.reason() << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration kExport(
    "export", "export FILE TABLE",
    "usage: cocina-db export FILE TABLE\n\n"
    "Writes the rows of TABLE of the Access database FILE as CSV (RFC 4180) on\n"
    "standard output: a header row of column names, then one record per row.\n"
    "Text is always in double quotes; NULL is an empty unquoted field; numbers\n"
    "are in plain form with a point as decimal separator; Date/Time is\n"
    "YYYY-MM-DD HH:MM:SS; Boolean is 1 or 0; binary and OLE values are\n"
    "hexadecimal, a zero-length one \"\" as an empty text.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file or the table can't be read\n"
    "(the reason goes to standard error).\n",
    runExport);

}  // namespace
}  // namespace cocinadb
