#pragma once

#include <QHash>
#include <QIODevice>
#include <QString>

#include <quazip.h>

// The zip container, with its entries found by part name without regard to
// ASCII case. The package format treats two names that differ only so as one,
// so a package holding both is refused: picking either would let the other
// decide what is read.
namespace xlsx {

class Package {
public:
    // Opens the zip in `device`; refuses what is no zip, or a damaged one.
    explicit Package(QIODevice& device);

    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    QuaZip& zip() { return zip_; }

    // The entry's name as the zip holds it; empty when there is none.
    QString entry(const QString& partName) const;

private:
    [[noreturn]] static void refuseAsZip();

    QuaZip zip_;
    QHash<QString, QString> entries_;  // by asciiLower(name)
};

}  // namespace xlsx
