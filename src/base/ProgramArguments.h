#pragma once

#include <QByteArray>
#include <QStringList>

// A program's arguments, read before any application object exists, and the
// argument vector the toolkit gets instead: the program's name alone. Qt
// takes options of its own out of the vector it is given (-style,
// -platformpluginpath, -qmljsdebugger…), and a search term or a file name
// must never become one of them; the toolkit's settings come from the
// environment (QT_QPA_PLATFORM, DISPLAY, QT_SCALE_FACTOR).
class ProgramArguments {
public:
    // `ownName` stands in for the program's name when argv has none.
    ProgramArguments(int argc, const char* const* argv, const char* ownName);
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    // Every argument after the program's name, in the locale's encoding.
    const QStringList& arguments() const { return arguments_; }
    // For the application's constructor, which keeps references to both.
    int& toolkitArgc() { return toolkitArgc_; }
    char** toolkitArgv() { return toolkitArgv_; }

private:
    QStringList arguments_;
    QByteArray name_;
    int toolkitArgc_ = 1;
    char* toolkitArgv_[2] = {nullptr, nullptr};
};
