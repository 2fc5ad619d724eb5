#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

#include "base/UniqueFd.h"

// A database file opened once for everything that follows: the page-0 and
// password checks read from this descriptor, and the reader process is handed
// the same descriptor, so the file checked is the file read even when the path
// is swapped for another file (or a named pipe) in between.
//
// The open never blocks: a named pipe, a device or a folder at the path is
// refused as "not a file" after the open, instead of hanging on it.
class JetFile {
public:
    // Opens `path` (made absolute) read-only. Throws EOleException with a
    // message naming the cause: missing folder or file, a dangling link, a link
    // loop, a folder without search permission, no read permission, not a
    // regular file.
    static JetFile open(const QString& path);

    int fd() const { return fd_.get(); }
    std::int64_t size() const { return size_; }
    // The absolute path, in native separators, as messages show it.
    const QString& shownPath() const { return shownPath_; }

    // Up to `bytes` bytes from the start of the file. Throws EOleException
    // when the file cannot be read.
    QByteArray readHead(int bytes) const;

private:
    JetFile(int fd, std::int64_t size, QString shownPath);

    UniqueFd fd_;
    std::int64_t size_ = 0;
    QString shownPath_;
};
