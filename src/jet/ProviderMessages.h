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
// `what` names what lies there instead ("bir klasör", ...); empty when unknown.
QString notAFile(const QString& file, const QString& what = {});
QString brokenLink(const QString& file);
// `notFolder` lies on the way to `file` but is not a folder.
QString fileWhereFolderShouldBe(const QString& notFolder, const QString& file);
QString linkLoop(const QString& file);
QString noFolderPermission(const QString& folder, const QString& file);
QString noReadPermission(const QString& file);
QString cannotOpenFile(const QString& file, const QString& reason);
// `advice` tells the user of the program at hand where the password comes from.
// The window's advice: use the program's own file.
QString programFilePasswordAdvice();
QString wrongPassword(const QString& file, const QString& advice = programFilePasswordAdvice());
QString notJet4(const QString& file, const QString& reason);
QString damagedFile(const QString& file, const QString& reason);
// A file that stops before its end: cut off while copied or downloaded.
QString incompleteFile(const QString& file, const QString& reason);
QString tableMissing(const QString& table, const QString& file);
QString syntaxError(const QString& statement);
QString unknownColumn(const QString& column, const QString& table);
QString readerMissing(const QString& readerPath);
QString readerFailed(const QString& reason);

}  // namespace ProviderMessages
