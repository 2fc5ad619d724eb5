#include "rtf/RtfTextDecoder.h"

namespace rtf {

const QString& TextDecoder::release() {
    released_.clear();
    if (holding()) heldCodec_->decode(held_.constData(), held_.size(), released_);
    held_.clear();
    return released_;
}

void TextDecoder::choose(int font) {
    int codePage = fonts_.codePage(font);
    if (codePage == 0) codePage = ansiCodePage_ != 0 ? ansiCodePage_ : 1252;
    codec_ = &codecs_.get(codePage);
    codecFont_ = font;
    fontsVersion_ = fonts_.version();
}

}  // namespace rtf
