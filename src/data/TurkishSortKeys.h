#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// Sort keys of the Turkish collation, case-insensitive (c < ç, ı < i, and
// "İ" equal to "i"): the ordering QCollator gives for tr_TR with
// Qt::CaseInsensitive. Keys are taken from ICU directly, which QCollator uses
// underneath, because QCollatorSortKey hides its bytes and comparing through
// it costs a call and two heap objects per comparison.
class TurkishSortKeys {
public:
    TurkishSortKeys();
    ~TurkishSortKeys();
    TurkishSortKeys(const TurkishSortKeys&) = delete;
    TurkishSortKeys& operator=(const TurkishSortKeys&) = delete;

    // Appends the key of `text` (without its terminating zero) to `out`.
    void append(const QString& text, std::vector<std::uint8_t>& out);

private:
    struct Collator;
    std::unique_ptr<Collator> collator_;
    std::vector<std::uint8_t> scratch_;
};
