#pragma once

#include <QString>

class Connection;

// The fixed settings of the program's database connection.
namespace ConnectionSettings {

inline constexpr const char* Provider = "Microsoft.Jet.OLEDB.4.0";
inline constexpr int ConnectionTimeoutSeconds = 100;
inline constexpr int CommandTimeoutSeconds = 100;
inline constexpr int ModeShareDenyNone = 16;
inline constexpr int CursorLocationClient = 3;

// The connection string exactly as the program passes it to the provider.
QString connectionString();

// The connection string with the data source and/or the database password
// replaced (a null argument keeps the built-in value).
QString connectionStringWith(const QString& dataSource, const QString& password);

// The database password held in the connection string.
QString builtInDatabasePassword();

// Gives `connection` the program's settings: provider, timeouts, mode, cursor
// location, no login prompt, kept open, and the connection string `text`.
void applyTo(Connection& connection, const QString& text = connectionString());

// The start-up statement of the occupation record set.
QString startupStatement();

}  // namespace ConnectionSettings
