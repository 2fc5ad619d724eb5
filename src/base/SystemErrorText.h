#pragma once

#include <QString>

// The cause of a failed system call as a short Turkish phrase ("böyle bir
// dosya yok", "okuma izni yok", ...), to stand after a colon or inside
// parentheses in a message. An errno value without a phrase of its own comes
// as "sistem hatası N: " and the system's own text for it.
QString systemErrorText(int error);
