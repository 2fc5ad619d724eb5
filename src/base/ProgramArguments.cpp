#include "base/ProgramArguments.h"

ProgramArguments::ProgramArguments(int argc, const char* const* argv, const char* ownName) {
    for (int i = 1; i < argc; ++i) arguments_.append(QString::fromLocal8Bit(argv[i]));
    name_ = QByteArray(argc > 0 && argv[0] ? argv[0] : ownName);
    toolkitArgv_[0] = name_.data();
}
