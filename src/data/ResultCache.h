#pragma once

#include <QString>

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

#include "data/RowOrder.h"
#include "jet/RawTable.h"

// A file as stat sees it. Equal identities before and after a read mean the
// read saw one unchanged file, as far as the file system can tell.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileIdentity& other) const;
};

// Empty when the path (or the descriptor) cannot be examined.
std::optional<FileIdentity> identifyFile(const QString& path);
std::optional<FileIdentity> identifyFile(int fd);

// XXH3 (64 bits) of every byte of the file, read through `fd` with pread so
// that the descriptor's offset stays where it was; empty when it cannot be read.
std::optional<std::uint64_t> hashFile(int fd);

// The last table read from a database file, kept so that the same file is not
// read again: a search, a new search or a re-sort of an unchanged file answers
// from memory, with the orders already worked out (see TableOrders).
//
// A table is kept only when the file was the same before and after its read:
// the same identity (device, inode, size, modification and change times to
// the nanosecond) and the same content hash (XXH3 of every byte, read through
// the descriptor that was read). It is used again only while both are still
// the same. The times alone cannot tell: a write through a shared mapping into
// a page already dirty changes the bytes but neither time, and a file system
// with coarse times can hide a change made in the same tick. The identity is
// the cheap first test; the hash is what proves the bytes unchanged. Any
// change of the file means a real read.
class ResultCache {
public:
    ResultCache();
    ~ResultCache();

    struct Table {
        std::shared_ptr<const RawTable> rows;
        std::shared_ptr<TableOrders> orders;  // over *rows
    };

    // Table `name` of `file`: the kept one when it may serve, else what
    // `read` returns (and keeps it when it may serve later). With `fd`, the
    // descriptor `read` reads from, identity and hash are those of the file
    // read, whatever the path names meanwhile.
    Table table(const QString& file, const QString& name, const std::function<RawTable()>& read,
                int fd = -1);

    void clear();

private:
    QString file_;
    QString name_;
    FileIdentity identity_;
    std::uint64_t hash_ = 0;
    Table kept_;
};
