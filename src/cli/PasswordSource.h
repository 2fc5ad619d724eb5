#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>

// Where meslek-ara and meslek-mdb take a database password from, so that it
// need not stand on the command line (where `ps` and the shell's history show
// it). In order of precedence:
//   --password TEXT        the text itself
//   --password-file FILE   the file's first line, without its line end (LF or
//                          CR LF); UTF-8, a leading byte order mark skipped
//   MESLEKANA_PASSWORD     the environment variable, when set and not empty
//   otherwise              the program's built-in password
// Both options at once, or one of them twice, is wrong usage. An empty
// password is given as `--password ""` or as a file whose first line is empty.
inline constexpr const char* PasswordVariable = "MESLEKANA_PASSWORD";

struct PasswordOptions {
    std::optional<QString> text;  // --password
    std::optional<QString> file;  // --password-file
};

// This process's environment without MESLEKANA_PASSWORD, for the processes
// it starts: a child that needs no password must not hold one.
QByteArrayList environmentWithoutPassword();

// The usage lines of the two options, for a program's help text.
extern const char* const PasswordOptionsHelp;

// When `arguments[i]` is one of the two options, takes it and its value
// (advancing `i` past the value) and returns true; `error` is then set for a
// missing or empty value or a second password source. Returns false for any
// other argument.
bool takePasswordOption(const QStringList& arguments, qsizetype& i, PasswordOptions& options,
                        QString& error);

// The password given by the options or `environment` (the value of
// MESLEKANA_PASSWORD, null when unset); nothing for the built-in one.
// `error` is set, naming the file and the cause in Turkish, when the password
// file cannot be read: missing, no permission, a folder, not UTF-8, or a first
// line longer than MaxPasswordFileLine bytes. Reading blocks while a pipe's
// writer (`--password-file <(pass show ...)`) has not written its line yet.
std::optional<QString> resolvePassword(const PasswordOptions& options, const QString& environment,
                                       QString& error);

inline constexpr qsizetype MaxPasswordFileLine = 4096;
