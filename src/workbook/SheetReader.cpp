#include "workbook/SheetReader.h"

#include <QXmlStreamReader>

#include <algorithm>

#include "text/ShownValue.h"
#include "workbook/ReadFailure.h"

namespace xlsx {

namespace {

using shownvalue::shown;

struct CellReference {
    int row = 0;
    int column = 0;
};

CellReference parseReference(QStringView ref) {
    auto bad = [&] { fail(QStringLiteral("geçersiz hücre başvurusu: %1").arg(shown(ref))); };
    qsizetype i = 0;
    qint64 column = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (column > MaxColumns)
            fail(QStringLiteral("%1 hücresi biçimin son sütunu XFD'nin ötesinde").arg(shown(ref)));
        ++i;
    }
    if (i == 0 || i == ref.size()) bad();
    qint64 row = 0;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit() || ref[i].unicode() >= 128) bad();
        row = row * 10 + (ref[i].unicode() - u'0');
        if (row > MaxRows)
            fail(QStringLiteral("%1 hücresi biçimin son satırı %2'nın ötesinde")
                     .arg(shown(ref))
                     .arg(MaxRows));
    }
    if (row < 1) bad();
    return {static_cast<int>(row), static_cast<int>(column)};
}

int parseRowNumber(QStringView text) {
    bool ok = false;
    const qint64 row = text.toLongLong(&ok);
    if (!ok || row < 1) fail(QStringLiteral("geçersiz satır numarası: %1").arg(shown(text)));
    if (row > MaxRows)
        fail(QStringLiteral("%1. satır biçimin son satırı %2'nın ötesinde")
                 .arg(shown(text))
                 .arg(MaxRows));
    return static_cast<int>(row);
}

}  // namespace

void SheetReader::read() {
    for (auto token = part_.next(); token != QXmlStreamReader::EndDocument; token = part_.next()) {
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = part_.xml().name();
        if (name == QLatin1String("row")) {
            readRow();
        } else if (name == QLatin1String("c")) {
            fail(QStringLiteral("%1 bölümünde bir satırın dışında hücre var")
                     .arg(shown(part_.name())));
        }
    }
}

void SheetReader::readRow() {
    const QStringView number = attribute(part_.xml(), QLatin1StringView("r"));
    row_ = number.isEmpty() ? row_ + 1 : parseRowNumber(number);
    if (row_ > MaxRows)
        fail(QStringLiteral("sayfa biçimin son satırı %1'nın ötesine uzanıyor").arg(MaxRows));
    cells_.clear();
    nextColumn_ = 1;
    int depth = 1;
    while (depth > 0) {
        const auto token = part_.next();
        if (token == QXmlStreamReader::StartElement) {
            if (part_.xml().name() == QLatin1String("c")) {
                readCell();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::EndDocument) {
            part_.refuseCut();
        }
    }
    if (cells_.empty()) return;
    std::stable_sort(cells_.begin(), cells_.end(),
                     [](const Cell& a, const Cell& b) { return a.column < b.column; });
    onRow_(row_, cells_);
}

// The column of the cell with reference `ref` (empty: the one after the last).
int SheetReader::cellColumn(const QString& ref) const {
    if (ref.isEmpty()) {
        if (nextColumn_ > MaxColumns)
            fail(QStringLiteral("%1. satır biçimin son sütunu XFD'nin ötesine uzanıyor").arg(row_));
        return nextColumn_;
    }
    const CellReference place = parseReference(ref);
    if (place.row != row_)
        fail(QStringLiteral("%1 hücresi %2. satırın içinde duruyor").arg(shown(ref)).arg(row_));
    return place.column;
}

void SheetReader::readCell() {
    const QXmlStreamReader& xml = part_.xml();
    // A copy: the reader's attribute texts last only until its next token.
    const QString ref = attribute(xml, QLatin1StringView("r")).toString();
    const int column = cellColumn(ref);
    nextColumn_ = column + 1;
    const QString type = attribute(xml, QLatin1StringView("t")).toString();

    std::optional<QString> value;
    std::optional<QString> inlineText;
    int depth = 1;
    while (depth > 0) {
        const auto token = part_.next();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = part_.xml().name();
            if (name == QLatin1String("v")) {
                value = part_.elementText();
            } else if (name == QLatin1String("is")) {
                inlineText = inlineString();
            } else {
                part_.skipElement();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::EndDocument) {
            part_.refuseCut();
        }
    }
    addCell(column, type, value, inlineText, ref);
}

QString SheetReader::inlineString() {
    QString text;
    appendStringItem(part_, text, 0);
    return text;
}

void SheetReader::addCell(int column, const QString& type, const std::optional<QString>& value,
                          const std::optional<QString>& inlineText, const QString& ref) {
    Cell cell;
    cell.column = column;
    if (type == QLatin1String("inlineStr")) {
        if (!inlineText) return;
        cell.text = *inlineText;
    } else if (type == QLatin1String("s")) {
        if (!value) return;
        cell.text = sharedString(*value, column, ref);
    } else if (type == QLatin1String("str")) {
        if (!value) return;
        cell.text = *value;
    } else {
        if (!value || value->isEmpty()) return;
        const bool number = type.isEmpty() || type == QLatin1String("n");
        cell.kind = number ? CellKind::Number : CellKind::Other;
        cell.text = *value;
    }
    keep(std::move(cell));
}

QString SheetReader::sharedString(const QString& index, int column, const QString& ref) const {
    bool ok = false;
    const qlonglong at = index.trimmed().toLongLong(&ok);
    std::optional<QString> text = ok ? strings_.at(at) : std::nullopt;
    if (!text)
        fail(QStringLiteral("%1 hücresi olmayan bir paylaşılan metni gösteriyor (%2)")
                 .arg(ref.isEmpty() ? cellName(row_, column) : shown(ref), shown(index)));
    return *std::move(text);
}

// Counts what the sheet has handed out: a shared string counts at every
// use, since the caller may well keep a copy of each.
void SheetReader::keep(Cell&& cell) {
    if (cells_.size() >= static_cast<std::size_t>(MaxColumns))
        fail(QStringLiteral("%1. satırda %2 hücreden fazlası var; bir satırda en çok %2 "
                            "sütun olur, dosya kabul edilmedi")
                 .arg(row_)
                 .arg(MaxColumns));
    handedOut_ += cell.text.size();
    if (handedOut_ > MaxSheetText)
        fail(QStringLiteral("sayfanın hücrelerindeki metin toplam %1 milyon karakteri aşıyor "
                            "(paylaşılan bir metin kullanıldığı her hücrede sayılır); dosya "
                            "kabul edilmedi")
                 .arg(MaxSheetText / 1000000));
    cells_.push_back(std::move(cell));
}

}  // namespace xlsx
