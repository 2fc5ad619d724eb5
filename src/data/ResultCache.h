#pragma once

#include <QString>

#include <sys/types.h>

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

// The last table read from a database file, kept so that the same file is not
// read again: a search, a new search or a re-sort of an unchanged file answers
// from memory, with the orders already worked out (see TableOrders).
//
// A table is kept only when the file's identity (device, inode, size,
// modification and change times to the nanosecond) was the same before and
// after its read, and both times lay more than two seconds before the read
// began: a file system with coarse timestamps could otherwise hide a change
// made in the same instant. It is used again only while the file's identity
// is still that one. Any change of the file means a real read.
class ResultCache {
public:
    using Clock = std::function<timespec()>;  // wall-clock time
    explicit ResultCache(Clock now = {});
    ~ResultCache();

    struct Table {
        std::shared_ptr<const RawTable> rows;
        std::shared_ptr<TableOrders> orders;  // over *rows
    };

    // Table `name` of `file`: the kept one when it may serve, else what
    // `read` returns (and keeps it when it may serve later). With `fd`, the
    // descriptor `read` reads from, the identity is that of the file read,
    // whatever the path names meanwhile.
    Table table(const QString& file, const QString& name, const std::function<RawTable()>& read,
                int fd = -1);

    void clear();

private:
    Clock now_;
    QString file_;
    QString name_;
    FileIdentity identity_;
    Table kept_;
};
