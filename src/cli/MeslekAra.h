#pragma once

#include <QIODevice>
#include <QStringList>

// The occupation list on the command line, all of it or, given one or two
// terms, the rows that the window's search would show. `arguments` excludes
// the program name. Returns the exit code: 0 done, 1 the database could not be read,
// 2 wrong usage.
int runMeslekAra(const QStringList& arguments, QIODevice& out, QIODevice& err);
