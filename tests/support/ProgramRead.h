#pragma once

#include <QString>

#include <memory>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/Statement.h"

// The program's own way into `file`: `connection` set up with the built-in
// settings and password, opened, then the start-up statement run. Throws what
// the program would report.
inline std::unique_ptr<ResultSet> runStartupStatement(Connection& connection, const QString& file) {
    ConnectionSettings::applyTo(connection,
                                ConnectionSettings::connectionStringWith(
                                    file, ConnectionSettings::builtInDatabasePassword()));
    connection.open();
    return connection.execute(joinStatementLines({ConnectionSettings::startupStatement()}));
}
