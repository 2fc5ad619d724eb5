#pragma once

#include <QString>

// The data provider's own failure descriptions. Each one names the file or the
// object concerned and tells the user what to do. File names are shown as given
// (already made absolute by the caller). No message ever contains a password.
namespace ProviderMessages {

QString providerNotFound(const QString& provider);
QString badConnectionString(const QString& detail);
QString missingDataSource();
QString missingFolder(const QString& folder, const QString& file);
QString missingFile(const QString& file);
QString notAFile(const QString& file);
QString cannotOpenFile(const QString& file, const QString& reason);
QString wrongPassword(const QString& file);
QString notJet4(const QString& file, const QString& reason);
QString damagedFile(const QString& file, const QString& reason);
QString tableMissing(const QString& table, const QString& file);
QString syntaxError(const QString& statement);
QString unknownColumn(const QString& column, const QString& table);
QString readerMissing(const QString& readerPath);
QString readerFailed(const QString& reason);

}  // namespace ProviderMessages
