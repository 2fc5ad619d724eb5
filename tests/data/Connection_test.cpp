#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "data/Statement.h"
#include "exceptions/Exceptions.h"
#include "jet/JetHeader.h"
#include "support/OccupationFixtures.h"
#include "support/TempWorkDir.h"

namespace {

const QString Password = ConnectionSettings::builtInDatabasePassword();
const QString DefaultFile = QStringLiteral("AnaData/MeslekAna.mdb");

std::vector<jet4::OccupationRow> fewOccupations() {
    return {{"7112.01", "Duvarcı", "İnşaat İşçileri"},
            {"2142.01", "İnşaat Mühendisi", "Mühendisler"},
            {"5120.02", "AŞÇI", QString()},
            {"2142.02", "Harita Mühendisi", "Mühendisler"}};
}

QString startup() { return joinStatementLines({ConnectionSettings::startupStatement()}); }

Connection programConnection(
    const QString& connectionString = ConnectionSettings::connectionString()) {
    Connection connection;
    ConnectionSettings::applyTo(connection, connectionString);
    return connection;
}

// The provider's message for opening the connection and running the start-up statement.
QString failureOf(Connection& connection, const QString& statement = startup()) {
    try {
        connection.open();
        connection.execute(statement);
    } catch (const EOleException& e) {
        EXPECT_FALSE(e.message().contains(Password)) << e.message().toStdString();
        return e.message();
    }
    return QString();
}

QStringList codesOf(ResultSet& result) {
    const std::vector<int> fields =
        bindFields(result.columns(), occupationFields(), OccupationRecordSetName);
    QStringList codes;
    for (int position = 1; position <= result.recordCount(); ++position) {
        codes << result.valueAt(position, fields[1]);
    }
    return codes;
}

}  // namespace

TEST(ConnectionTest, ReadsTheTableInStatementOrder) {
    TempWorkDir work;
    work.writeProgramDatabase(fewOccupations());
    Connection connection = programConnection();
    connection.open();
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(connection.databaseFile(), QFileInfo(work.path(DefaultFile)).absoluteFilePath());

    std::unique_ptr<ResultSet> result = connection.execute(startup());
    ASSERT_EQ(result->recordCount(), 4);
    EXPECT_EQ(codesOf(*result), QStringList({"2142.01", "2142.02", "5120.02", "7112.01"}));
    EXPECT_EQ(result->column(result->columnIndex("ID")).kind, FieldKind::AutoInc);
    EXPECT_EQ(result->column(result->columnIndex("meslek_adi")).kind, FieldKind::WideString);

    result = connection.execute("select * FROM meslekler ORDER BY meslek_adi DESC\r\n");
    EXPECT_EQ(codesOf(*result), QStringList({"2142.01", "2142.02", "7112.01", "5120.02"}));

    result = connection.execute("select * from MESLEKLER");
    EXPECT_EQ(codesOf(*result), QStringList({"7112.01", "2142.01", "5120.02", "2142.02"}));
}

TEST(ConnectionTest, DataSourceIsResolvedAgainstTheWorkingDirectoryAtEachOpen) {
    TempWorkDir work;
    work.writeProgramDatabase(fewOccupations());
    Connection connection = programConnection();
    connection.open();
    connection.close();

    TempWorkDir elsewhere;
    const QString message = failureOf(connection);
    EXPECT_TRUE(message.startsWith("Veritabanı klasörü bulunamadı")) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(elsewhere.path("AnaData"))));
    EXPECT_FALSE(connection.connected());
}

TEST(ConnectionTest, ExplainsWhyTheDatabaseCannotBeOpened) {
    TempWorkDir work;
    Connection connection = programConnection();

    EXPECT_TRUE(failureOf(connection).startsWith("Veritabanı klasörü bulunamadı"));
    QDir().mkpath(work.path("AnaData"));
    EXPECT_TRUE(failureOf(connection).startsWith("Veritabanı dosyası bulunamadı"));
    QDir().mkpath(work.path(DefaultFile));
    EXPECT_TRUE(failureOf(connection).contains("bir dosya değil"));
    QDir().rmdir(work.path(DefaultFile));

    const QString file =
        work.writeDatabase(DefaultFile, jet4::occupationDatabase(fewOccupations(), "Başka1"));
    QString message = failureOf(connection);
    EXPECT_TRUE(message.contains("parolası geçersiz")) << message.toStdString();
    EXPECT_TRUE(message.contains("programın kendi veritabanı dosyasını")) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file)));
    EXPECT_FALSE(message.contains("Başka1"));

    // Passwords compare exactly: case matters.
    work.writeDatabase(DefaultFile, jet4::occupationDatabase(fewOccupations(), Password.toUpper()));
    EXPECT_TRUE(failureOf(connection).contains("parolası geçersiz"));

    const QByteArray good = TempWorkDir::readAll(work.writeProgramDatabase(fewOccupations()));
    QByteArray jet3 = good;
    jet3[JetHeader::VersionOffset] = 0;
    TempWorkDir::writeAll(file, jet3);
    EXPECT_TRUE(failureOf(connection).contains("tanınan biçimde bir veritabanı dosyası değil"));
    QByteArray ace = good;
    ace[JetHeader::VersionOffset] = 2;
    TempWorkDir::writeAll(file, ace);
    EXPECT_TRUE(failureOf(connection).contains("tanınan biçimde bir veritabanı dosyası değil"));
    TempWorkDir::writeAll(file, QByteArray("plain text, not a database"));
    EXPECT_FALSE(failureOf(connection).isEmpty());
    TempWorkDir::writeAll(file, QByteArray());
    EXPECT_FALSE(failureOf(connection).isEmpty());
    EXPECT_FALSE(connection.connected());
}

TEST(ConnectionTest, FileWithoutPasswordOpensWhateverPasswordIsGiven) {
    TempWorkDir work;
    work.writeDatabase(DefaultFile, jet4::occupationDatabase(fewOccupations(), QString()));
    Connection connection = programConnection();
    EXPECT_EQ(failureOf(connection), QString());

    TempWorkDir other;
    other.writeDatabase("db.mdb",
                        jet4::occupationDatabase(fewOccupations(), "İğneş20karakterlik.."));
    Connection turkish = programConnection(
        ConnectionSettings::connectionStringWith("db.mdb", "İğneş20karakterlik.."));
    EXPECT_EQ(failureOf(turkish), QString());
}

TEST(ConnectionTest, StatementFailuresNameTheTableOrColumn) {
    TempWorkDir work;
    work.writeProgramDatabase(fewOccupations());
    Connection connection = programConnection();

    QString message = failureOf(connection, "select * FROM meslek");
    EXPECT_TRUE(message.contains("\"meslek\" tablosu")) << message.toStdString();
    message = failureOf(connection, "select * FROM meslekler ORDER BY meslek_yok ASC");
    EXPECT_TRUE(message.contains("\"meslek_yok\" sütunu")) << message.toStdString();
    message = failureOf(connection, "update meslekler");
    EXPECT_TRUE(message.contains("sözdizimi")) << message.toStdString();

    Connection other = programConnection();
    other.setProvider("Microsoft.ACE.OLEDB.12.0");
    other.setConnectionString("Data Source=AnaData\\MeslekAna.mdb");
    EXPECT_TRUE(failureOf(other).contains("\"Microsoft.ACE.OLEDB.12.0\" veri sağlayıcısı"));
}

TEST(ConnectionTest, NeverWritesToTheFileAndNoticesItsRemoval) {
    TempWorkDir work;
    const QString file = work.writeProgramDatabase(fewOccupations());
    const QByteArray before = TempWorkDir::readAll(file);
    const QDateTime modified = QFileInfo(file).lastModified();
    QThread::msleep(20);

    Connection connection = programConnection();
    connection.open();
    std::unique_ptr<ResultSet> result = connection.execute(startup());
    result = connection.execute("select * FROM meslekler ORDER BY meslek_adi DESC");
    EXPECT_EQ(TempWorkDir::readAll(file), before);
    EXPECT_EQ(QFileInfo(file).lastModified(), modified);

    QFile::remove(file);
    EXPECT_TRUE(failureOf(connection).startsWith("Veritabanı dosyası bulunamadı"));
    EXPECT_EQ(result->recordCount(), 4);
    EXPECT_EQ(codesOf(*result).size(), 4);
}

// Statements read the values of the value columns and of their ORDER BY
// column only; a column left out of a kept read is read when a statement
// comes to need it. A name the reader's ASCII rule misses but the
// connection's wider one matches gets its values by a second, whole read.
TEST(ConnectionTest, ValueColumnsLeaveOtherValuesUnreadButNeverOneAStatementNeeds) {
    TempWorkDir work;
    work.writeProgramDatabase(fewOccupations());
    Connection connection = programConnection();
    connection.setValueColumns({QStringLiteral("meslek_kodu")});
    connection.open();
    const auto valuesRead = [](const ResultSet& result, const char* name) {
        return result.column(result.columnIndex(QString::fromLatin1(name))).valuesRead;
    };

    std::unique_ptr<ResultSet> result =
        connection.execute("select * FROM meslekler ORDER BY meslek_adi DESC");
    EXPECT_EQ(codesOf(*result), QStringList({"2142.01", "2142.02", "7112.01", "5120.02"}));
    EXPECT_FALSE(valuesRead(*result, "ID"));
    EXPECT_FALSE(valuesRead(*result, "meslek_ana"));
    EXPECT_TRUE(valuesRead(*result, "meslek_adi"));

    result = connection.execute("select * FROM meslekler ORDER BY ID DESC");
    EXPECT_EQ(codesOf(*result), QStringList({"2142.02", "5120.02", "2142.01", "7112.01"}));
    EXPECT_TRUE(valuesRead(*result, "ID"));

    // The Kelvin sign folds to "k" by Unicode's rule, not by ASCII's.
    jet4::DatabaseDef database =
        jet4::occupationDatabase(fewOccupations(), ConnectionSettings::builtInDatabasePassword());
    database.tables[0].columns[1].name = QStringLiteral("meslek_\u212Aodu");
    work.writeDatabase(DefaultFile, database);
    result = connection.execute(startup());
    ASSERT_EQ(result->recordCount(), 4);
    EXPECT_TRUE(valuesRead(*result, "meslek_kodu"));
    EXPECT_EQ(result->valueAt(1, result->columnIndex("meslek_kodu")), "2142.01");
}
