#pragma once

#include <QString>

#include <functional>

class MessageBoxes;
class OccupationRecordSet;
class QLineEdit;

// The copy and information commands over the record set's current record:
// what the pop-up menu of the grid, its shortcuts and "KOPYALA" run.
//
// A copy goes through the window's hidden text box: the box is emptied, given
// the text, all of it selected and the selection copied, so the clipboard
// holds plain text and nothing else. An empty text selects nothing, and the
// clipboard keeps what it held. With no current record (an empty window, a
// closed set) every field reads as empty text and no copy changes the
// clipboard (not even code and name, which would otherwise be a lone blank);
// the information box then shows its two labels with empty values.
//
// Nothing here raises failures of its own.
class CopyCommands {
public:
    // `carrier` is the hidden box; `boxes` shows the information box.
    CopyCommands(const OccupationRecordSet& records, QLineEdit& carrier, MessageBoxes& boxes);

    // "Meslek Kodunu Kopyala", Ctrl+C and "KOPYALA": the code.
    void copyCode();
    // "Meslek Adını Kopyala", Ctrl+B: the name.
    void copyName();
    // "Meslek Kodu ve Adını Kopyala", Ctrl+T: the code, one blank, the name.
    void copyCodeAndName();
    // "Meslek Adı ve Kodu Ne?", F1: a modal box with the code and the name,
    // captioned with the application title; returns when the user closes it.
    void showCodeAndName();

    // Called with the text after each copy that changed the clipboard.
    void setCopiedListener(std::function<void(const QString&)> listener) {
        copied_ = std::move(listener);
    }

    static QString codeAndNameText(const QString& code, const QString& name);
    // Two lines joined by CR LF ("Meslek Kodu:" with no blank before the
    // code, "Meslek Adı: " with one before the name); the box shows CR LF as
    // one line break.
    static QString informationText(const QString& code, const QString& name);

private:
    bool hasCurrentRecord() const;
    QString code() const;
    QString name() const;
    void copyText(const QString& text);

    const OccupationRecordSet& records_;
    QLineEdit& carrier_;
    MessageBoxes& boxes_;
    std::function<void(const QString&)> copied_;
};
