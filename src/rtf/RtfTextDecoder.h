#pragma once

#include <QByteArray>
#include <QString>

#include "rtf/CodePages.h"
#include "rtf/RtfTables.h"

// The text bytes of an RTF file, raw or from \'hh, as characters: each in the
// code page of the font it is in, else the document's ANSI code page.
namespace rtf {

class TextDecoder {
public:
    explicit TextDecoder(const FontTable& fonts) : fonts_(fonts) {}

    // \ansicpgN, \ansi, \mac, \pc, \pca: the code page of text in no font or
    // in a font of the default charset; 0 stands for Windows-1252.
    void setAnsiCodePage(int codePage) {
        ansiCodePage_ = codePage;
        codec_ = nullptr;
    }

    // The codec of text in font `font` (a font table index).
    const codepages::Codec& codec(int font) {
        if (codec_ == nullptr || font != codecFont_ || fontsVersion_ != fonts_.version()) {
            choose(font);
        }
        return *codec_;
    }

    // A multi-byte code page's bytes are held until a run of them ends.
    bool holding() const { return !held_.isEmpty(); }
    // Whether held bytes are in another codec than `codec`: they end there.
    bool holdingOther(const codepages::Codec& codec) const {
        return holding() && heldCodec_ != &codec;
    }
    void hold(const codepages::Codec& codec, unsigned char byte) {
        heldCodec_ = &codec;
        held_.append(static_cast<char>(byte));
    }
    // The held bytes' characters, which are no longer held; valid until the
    // next call.
    const QString& release();

private:
    void choose(int font);

    const FontTable& fonts_;
    int ansiCodePage_ = 1252;
    codepages::CodecCache codecs_;
    const codepages::Codec* codec_ = nullptr;  // for codecFont_ at fontsVersion_
    int codecFont_ = 0;
    unsigned fontsVersion_ = 0;
    QByteArray held_;
    const codepages::Codec* heldCodec_ = nullptr;
    QString released_;
};

}  // namespace rtf
