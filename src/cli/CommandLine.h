#pragma once

#include <QIODevice>
#include <QStringList>

// A command-line program's body: its arguments (without the program name),
// standard output and standard error; returns the exit code.
using CommandLineBody = int (*)(const QStringList& arguments, QIODevice& out, QIODevice& err);

// Runs `body` over the process's arguments and standard streams.
int runCommandLine(int argc, char** argv, CommandLineBody body);

// The same inside an application the caller made (a program that needs a GUI
// application, say, to measure fonts).
int runWithStandardStreams(CommandLineBody body);
