#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "jet/TableStream.h"
#include "jet/reader/MdbTable.h"

// The second half of the pages, read through a handle of its own on another
// thread while the first half goes out: libmdb's work per row is most of a
// read, and it is the same on either core. The half goes out at once as a
// whole stream of its own on the caller's second descriptor, its end record
// counting its rows; the caller decodes both streams side by side and puts
// these rows after the first half's, so the order is the file's as ever. Not
// started when the second handle cannot be set up the way the first one was.
class SecondHalf {
public:
    // Reads `tableName` of `path` from the data page after `after` on.
    SecondHalf(const std::string& path, const char* tableName, guint32 after, int stream,
               const std::vector<StreamColumn>& columns);
    SecondHalf(const SecondHalf&) = delete;
    SecondHalf& operator=(const SecondHalf&) = delete;
    ~SecondHalf();

    bool started() const { return thread_.joinable(); }
    // Waits for the rows; false when memory ran out.
    bool finish();
    std::uint64_t rows() const { return rows_; }

private:
    bool open(const std::string& path, const char* tableName,
              const std::vector<StreamColumn>& columns);

    BoundTable bound_;
    TableStreamEncoder out_;
    std::thread thread_;
    std::uint64_t rows_ = 0;
    bool outOfMemory_ = false;
};

// Splits the read of `table` (through `path`, the reader's own descriptor)
// when the caller gave a second stream and the table has enough data pages:
// starts the second half and sets `stop` to the first page it reads, which
// the first half stops before. Otherwise returns null, leaves `stop` at 0 and,
// when a second stream was given, sends it whole but without rows.
std::unique_ptr<SecondHalf> splitRead(const std::string& path, const char* tableName,
                                      MdbTableDef* table, int secondStream,
                                      const std::vector<StreamColumn>& columns, guint32& stop);
