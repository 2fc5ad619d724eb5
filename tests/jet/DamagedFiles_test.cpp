#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "exceptions/Exceptions.h"
#include "support/OccupationFixtures.h"
#include "support/ProgramRead.h"
#include "support/TempWorkDir.h"

namespace {

// Damage is made with a fixed seed so that every run sees the same 100 files.
class Damage {
public:
    explicit Damage(std::uint32_t seed) : state_(seed) {}

    QByteArray apply(QByteArray bytes, int index) {
        const int kind = index % 3;
        // Mostly behind page 0, which our own checks guard, so libmdb sees the damage.
        const int firstByte = below(10) == 0 ? 0 : 4096;
        const int span = static_cast<int>(bytes.size()) - firstByte;
        if (kind == 0) {
            const int flips = 1 + below(24);
            for (int i = 0; i < flips; ++i) {
                bytes[firstByte + below(span)] ^= static_cast<char>(1 + below(255));
            }
        } else if (kind == 1) {
            const int length = 8 + below(4096);
            const int at = firstByte + below(span);
            for (int i = at; i < std::min<int>(at + length, int(bytes.size())); ++i) bytes[i] = 0;
        } else {
            int length = 1 + below(int(bytes.size()) - 1);
            if (below(2) == 0) length = (length / 4096) * 4096;
            bytes.truncate(length);
        }
        return bytes;
    }

private:
    int below(int bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<std::uint32_t>(std::max(bound, 1)));
    }
    std::uint32_t state_;
};

struct Outcome {
    bool rows = false;
    bool failure = false;
    QString message;
    qint64 elapsedMs = 0;
};

Outcome readThroughTheProgramsPath(const QString& file) {
    Outcome outcome;
    QElapsedTimer timer;
    timer.start();
    try {
        Connection connection;
        auto result = runStartupStatement(connection, file);
        bindFields(result->columns(), occupationFields(), OccupationRecordSetName);
        outcome.rows = true;
    } catch (const Exception& e) {
        outcome.failure = true;
        outcome.message = e.message();
    }
    outcome.elapsedMs = timer.elapsed();
    return outcome;
}

}  // namespace

TEST(DamagedFilesTest, EachEndsInRowsOrAClearFailureWithinTenSeconds) {
    TempWorkDir work;
    const QString original = work.writeDatabase(
        "original.mdb", jet4::occupationDatabase(jet4::syntheticOccupations(900, 7),
                                                 ConnectionSettings::builtInDatabasePassword()));
    const QByteArray bytes = TempWorkDir::readAll(original);
    ASSERT_GT(bytes.size(), 8 * 4096);

    Damage damage(20261207);
    std::vector<QString> files;
    for (int i = 0; i < 100; ++i) {
        const QString file = work.path(QStringLiteral("damaged-%1.mdb").arg(i));
        TempWorkDir::writeAll(file, damage.apply(bytes, i));
        files.push_back(file);
    }

    // Four at a time: the time goes to waiting on reader processes.
    std::vector<Outcome> outcomes(files.size());
    std::vector<std::future<void>> workers;
    std::atomic<std::size_t> next{0};
    for (int w = 0; w < 4; ++w) {
        workers.push_back(std::async(std::launch::async, [&] {
            for (std::size_t i = next++; i < files.size(); i = next++) {
                outcomes[i] = readThroughTheProgramsPath(files[i]);
            }
        }));
    }
    for (auto& worker : workers) worker.get();

    int withRows = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const Outcome& o = outcomes[i];
        EXPECT_TRUE(o.rows != o.failure) << i;
        EXPECT_LT(o.elapsedMs, 10000) << i;
        if (o.failure) {
            EXPECT_GT(o.message.size(), 20) << i;
            EXPECT_TRUE(o.message.contains(files[i]) || o.message.startsWith("meslekkoduQuery"))
                << i << ": " << o.message.toStdString();
        } else {
            ++withRows;
        }
    }
    // Some damage misses everything that matters; most does not.
    EXPECT_LT(withRows, 100);
}
