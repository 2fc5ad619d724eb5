#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

// The fields of an RTF file ({\field{\*\fldinst CODE}{\fldrslt RESULT}}):
// their codes, and the link targets of the HYPERLINK fields' results.
namespace rtf {

// The target of a HYPERLINK field's code: its address, with "#name" for a
// \l bookmark ("HYPERLINK \l name" alone gives "#name"); empty for any other
// field. The \o tooltip and \t frame options are passed over.
QString hyperlinkTarget(const QString& instruction);

class Fields {
public:
    // \field in a group `depth` deep; at most 64 fields are open at once.
    void open(std::size_t depth);
    // The end of a group `depth` deep (before it ends), which ends the
    // innermost field when that field is its own.
    void closeGroup(std::size_t depth);
    // A character of the innermost field's code; at most MaxFieldInstruction.
    void instruction(QChar ch);
    // \fldrslt: the link target number for the innermost field's result, or
    // -1 when the field is no hyperlink (or the targets are too many).
    int resultLink();
    // The link targets, by number.
    const QStringList& links() const { return links_; }

private:
    struct Field {
        std::size_t depth;  // group depth of the {\field ...} group
        QString instruction;
    };
    std::vector<Field> open_;
    QStringList links_;
};

}  // namespace rtf
