#include "rtf/RtfTables.h"

#include <algorithm>

#include "rtf/CodePages.h"
#include "rtf/RtfReader.h"

namespace rtf {

void FontTable::word(Word word, int parameter) {
    switch (word) {
        case Word::Font:
            endEntry();
            index_ = std::clamp(parameter, 0, MaxTableEntries);
            entry_ = Font();
            break;
        case Word::Charset:
            entry_.charset = std::clamp(parameter, 0, 255);
            break;
        case Word::FontCodePage:
            entry_.codePage = std::clamp(parameter, 0, 65535);
            break;
        default:
            break;
    }
}

void FontTable::nameCharacter(QChar ch) {
    if (index_ >= 0 && entry_.name.size() < 256) entry_.name += ch;
}

void FontTable::endEntry() {
    if (index_ < 0) return;
    entry_.name = entry_.name.trimmed();
    entry_.symbol = entry_.charset == 2 ||
                    entry_.name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    if (fonts_.size() < MaxTableEntries || fonts_.contains(index_)) {
        fonts_.insert(index_, entry_);
        ++version_;
    }
    index_ = -1;
    entry_ = Font();
}

const Font* FontTable::find(int index) const {
    const auto font = fonts_.constFind(index);
    return font == fonts_.constEnd() ? nullptr : &*font;
}

bool FontTable::isSymbol(int index) const {
    const Font* font = find(index);
    return font != nullptr && font->symbol;
}

int FontTable::codePage(int index) const {
    const Font* font = find(index);
    if (font == nullptr) return 0;
    if (font->symbol) return codepages::SymbolCodePage;
    return font->codePage != 0 ? font->codePage : codepages::forCharset(font->charset);
}

void ColourTable::start() {
    colours_.clear();
    started_ = false;
}

void ColourTable::word(Word word, int parameter) {
    const int component = std::clamp(parameter, 0, 255);
    switch (word) {
        case Word::Red:
            entry_.setRed(component);
            break;
        case Word::Green:
            entry_.setGreen(component);
            break;
        case Word::Blue:
            entry_.setBlue(component);
            break;
        default:
            return;
    }
    started_ = true;
}

void ColourTable::endEntry() {
    if (colours_.size() < static_cast<std::size_t>(MaxTableEntries)) {
        colours_.push_back(started_ ? std::optional<QColor>(entry_) : std::nullopt);
    }
    entry_ = QColor(0, 0, 0);
    started_ = false;
}

std::optional<QColor> ColourTable::colour(int index) const {
    if (index <= 0 || static_cast<std::size_t>(index) >= colours_.size()) return std::nullopt;
    return colours_[static_cast<std::size_t>(index)];
}

}  // namespace rtf
