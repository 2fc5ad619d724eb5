#include "workbook/SharedStrings.h"

#include <QXmlStreamReader>

namespace xlsx {

void appendStringItem(PartReader& part, QString& text, qsizetype start) {
    int depth = 1;
    while (depth > 0) {
        const auto token = part.next();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::StartElement) {
            const QStringView name = part.xml().name();
            if (name == QLatin1String("t")) {
                const QString piece = part.elementText();
                part.checkTextLength(text.size() - start + piece.size());
                text.append(piece);
            } else if (name == QLatin1String("rPh")) {
                part.skipElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndDocument) {
            part.refuseCut();
        }
    }
}

void SharedStrings::read(PartReader& part) {
    for (auto token = part.next(); token != QXmlStreamReader::EndDocument; token = part.next()) {
        if (token == QXmlStreamReader::StartElement && part.xml().name() == QLatin1String("si"))
            readItem(part);
    }
    text_.squeeze();
    ends_.shrink_to_fit();
}

std::optional<QString> SharedStrings::at(qsizetype index) const {
    if (index < 0 || index >= static_cast<qsizetype>(ends_.size())) return std::nullopt;
    if (const auto found = long_.constFind(index); found != long_.constEnd()) return *found;
    const qsizetype start = index == 0 ? 0 : ends_[static_cast<std::size_t>(index - 1)];
    return text_.mid(start, ends_[static_cast<std::size_t>(index)] - start);
}

void SharedStrings::readItem(PartReader& part) {
    const qsizetype start = text_.size();
    appendStringItem(part, text_, start);
    if (text_.size() - start > CopiedLength) {
        long_.insert(static_cast<qsizetype>(ends_.size()), text_.mid(start));
        text_.truncate(start);
    }
    ends_.push_back(text_.size());
}

}  // namespace xlsx
