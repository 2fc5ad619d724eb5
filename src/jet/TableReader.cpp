#include "jet/TableReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>
#include <vector>

#include <unistd.h>

#include "jet/ProviderMessages.h"
#include "jet/ReaderFailure.h"
#include "jet/ReaderSpawn.h"
#include "jet/StreamPump.h"
#include "jet/TableStream.h"

namespace {

// The two streams of one read describe their columns alike.
bool sameColumns(const std::vector<RawColumn>& a, const std::vector<RawColumn>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RawColumn& x, const RawColumn& y) {
                          return x.name == y.name && x.jetType == y.jetType &&
                                 x.autoIncrement == y.autoIncrement && x.size == y.size;
                      });
}

// The second half's rows after the first's: the table in file order.
RawTable joinHalves(RawTable rows, RawTable secondRows, const QString& shownFile) {
    using ReaderFailure::malformed;
    if (!sameColumns(rows.columns, secondRows.columns)) {
        ReaderFailure::raise(ProviderMessages::damagedFile(
            shownFile, malformed(QStringLiteral("iki akışın sütunları farklı"))));
    }
    try {
        rows.appendRows(std::move(secondRows));
    } catch (const std::length_error&) {
        ReaderFailure::raise(ProviderMessages::damagedFile(
            shownFile, malformed(QStringLiteral("tablo belleğe sığmayacak kadar büyük"))));
    }
    return rows;
}

}  // namespace

QString readerExecutablePathFor(const QString& executable) {
    const QString dir = QFileInfo(executable).absolutePath();
    const QString beside = dir + QStringLiteral("/meslek-reader");
    const QFileInfo besideInfo(beside);
    if (besideInfo.isFile() && besideInfo.isExecutable()) return beside;
    return QDir::cleanPath(dir + QLatin1Char('/') + QLatin1String(InstalledReaderDirectory) +
                           QStringLiteral("/meslek-reader"));
}

QString readerExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return QDir::currentPath() + QStringLiteral("/meslek-reader");
    return readerExecutablePathFor(QFile::decodeName(QByteArray(path, n)));
}

RawTable readTable(const QString& file, const QString& table, int stallTimeoutMs) {
    TableReaderOptions options;
    options.stallTimeoutMs = stallTimeoutMs;
    return readTable(file, table, options);
}

RawTable readTable(const QString& file, const QString& table, const TableReaderOptions& options) {
    return readTable(JetFile::open(file), table, options);
}

RawTable readTable(const JetFile& file, const QString& table, const TableReaderOptions& options) {
    const QString& shownFile = file.shownPath();
    const QString helper =
        options.helperPath.isEmpty() ? readerExecutablePath() : options.helperPath;
    const int stallMs = options.stallTimeoutMs > 0 ? options.stallTimeoutMs : 1;

    const QFileInfo helperInfo(helper);
    if (!helperInfo.isFile() || !helperInfo.isExecutable()) {
        ReaderFailure::raise(ProviderMessages::readerMissing(QDir::toNativeSeparators(helper)));
    }

    // Two streams: the reader sends a large table's second half of pages
    // through the second while the first half goes through the first, and
    // each is decoded here on a thread of its own.
    SpawnedReader reader = spawnReader(helper, file, table, options);
    TableStreamDecoder first;
    TableStreamDecoder second;
    StreamPump(reader.process, stallMs, shownFile)
        .pumpBoth(reader.firstStream.get(), first, reader.secondStream.get(), second);
    reader.firstStream.reset();
    reader.secondStream.reset();

    ReaderFailure::checkReaderEnd(reader.process, first, second, stallMs, shownFile, table);
    return joinHalves(first.takeTable(), second.takeTable(), shownFile);
}
