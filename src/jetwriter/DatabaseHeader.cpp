#include "jetwriter/DatabaseHeader.h"

#include <cstring>

#include "jet/JetHeader.h"
#include "jetwriter/FileFormat.h"

namespace jet4 {

void writeHeader(unsigned char* page, const DatabaseDef& database) {
    static constexpr unsigned char Magic[4] = {0x00, 0x01, 0x00, 0x00};
    std::memcpy(page, Magic, sizeof Magic);
    std::memcpy(page + 4, "Standard Jet DB", 15);
    page[JetHeader::VersionOffset] = 0x01;
    put16(page + 0x3C, 1252);  // code page
    put32(page + 0x3E, 0);     // no page encoding
    unsigned char mask[4];
    JetHeader::passwordMask(database.creationDate, mask);
    for (int i = 0; i < JetHeader::PasswordBytes; ++i) {
        const int unit = i / 2;
        const char16_t c = unit < database.password.size() ? database.password[unit].unicode() : 0;
        const auto byte = static_cast<unsigned char>(i % 2 == 0 ? c : c >> 8);
        page[JetHeader::PasswordOffset + i] = byte ^ mask[i % 4];
    }
    put32(page + 0x6E, 0x0409);  // sort order
    putDouble(page + JetHeader::CreationDateOffset, database.creationDate);
    JetHeader::applyHeaderMask(reinterpret_cast<char*>(page));
}

}  // namespace jet4
