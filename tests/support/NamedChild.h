#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

// The child of `parent` with this object name and type; a test that looks for
// one that is not there fails (and gets null).
template <typename T>
T* namedChild(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
