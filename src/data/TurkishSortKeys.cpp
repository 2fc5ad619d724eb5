#include "data/TurkishSortKeys.h"

#include <unicode/ucol.h>

#include <stdexcept>

struct TurkishSortKeys::Collator {
    UCollator* handle = nullptr;
    ~Collator() {
        if (handle) ucol_close(handle);
    }
};

TurkishSortKeys::TurkishSortKeys() : collator_(std::make_unique<Collator>()) {
    UErrorCode status = U_ZERO_ERROR;
    collator_->handle = ucol_open("tr_TR", &status);
    if (U_FAILURE(status)) throw std::runtime_error("Turkish collation is not available");
    // As QCollator sets them for case-insensitive comparison without numeric
    // mode and without ignoring punctuation.
    ucol_setAttribute(collator_->handle, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(collator_->handle, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator_->handle, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    scratch_.resize(256);
}

TurkishSortKeys::~TurkishSortKeys() = default;

void TurkishSortKeys::append(const QString& text, std::vector<std::uint8_t>& out) {
    const auto* chars = reinterpret_cast<const UChar*>(text.constData());
    const auto length = static_cast<int32_t>(text.size());
    int32_t needed = ucol_getSortKey(collator_->handle, chars, length, scratch_.data(),
                                     static_cast<int32_t>(scratch_.size()));
    if (needed > static_cast<int32_t>(scratch_.size())) {
        scratch_.resize(static_cast<std::size_t>(needed) * 2);
        needed = ucol_getSortKey(collator_->handle, chars, length, scratch_.data(),
                                 static_cast<int32_t>(scratch_.size()));
    }
    // The key ends in one zero byte, the only zero in it.
    if (needed > 0) out.insert(out.end(), scratch_.begin(), scratch_.begin() + (needed - 1));
}
