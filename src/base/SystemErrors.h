#pragma once

#include <QString>

// The cause of a failed system call in Turkish ("böyle bir dosya yok", ...),
// for the messages of the command-line programs.
QString describeSystemError(int error);
