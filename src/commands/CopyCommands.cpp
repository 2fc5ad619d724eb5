#include "commands/CopyCommands.h"

#include <QLineEdit>

#include "data/OccupationRecordSet.h"
#include "widgets/FailureReporter.h"
#include "widgets/MessageBoxes.h"

CopyCommands::CopyCommands(const OccupationRecordSet& records, QLineEdit& carrier,
                           MessageBoxes& boxes)
    : records_(records), carrier_(carrier), boxes_(boxes) {}

void CopyCommands::copyCode() { copyText(code()); }

void CopyCommands::copyName() { copyText(name()); }

// Without a record the joined text would be a lone blank; like the other
// copies, this one then leaves the clipboard alone.
void CopyCommands::copyCodeAndName() {
    copyText(hasCurrentRecord() ? codeAndNameText(code(), name()) : QString());
}

void CopyCommands::showCodeAndName() {
    boxes_.applicationMessageBox(informationText(code(), name()), applicationTitle(),
                                 MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
}

QString CopyCommands::codeAndNameText(const QString& code, const QString& name) {
    return code + QLatin1Char(' ') + name;
}

QString CopyCommands::informationText(const QString& code, const QString& name) {
    return QStringLiteral("Meslek Kodu:") + code + QStringLiteral("\r\n") +
           QStringLiteral("Meslek Adı: ") + name;
}

bool CopyCommands::hasCurrentRecord() const { return records_.active() && !records_.isEmpty(); }

// The set reads empty text with no current row and on a closed set.
QString CopyCommands::code() const { return records_.fieldText(OccupationRecordSet::MeslekKodu); }

QString CopyCommands::name() const { return records_.fieldText(OccupationRecordSet::MeslekAdi); }

// QLineEdit::copy() puts the selection on the clipboard as plain text, and
// does nothing while no text is selected. The record set's field texts are
// copies of their own, so the carrier and the clipboard outlive the list.
void CopyCommands::copyText(const QString& text) {
    carrier_.clear();
    carrier_.setText(text);
    carrier_.selectAll();
    carrier_.copy();
    if (!text.isEmpty() && copied_) copied_(text);
}
