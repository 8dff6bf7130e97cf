// One S-record line to a record and back.
#include <zelir/zelir.h>

#include <cstddef>
#include <cstring>
#include <string_view>

#include "formats/srec_line.h"

namespace {

using zelir::kHexValue;
using zelir::kSrecAddressDigits;

// Characters before the first NUL, LF or CR.
std::string_view LineBody(const char* line) {
    return std::string_view(line, std::strcspn(line, "\r\n"));
}

uint8_t HexByte(std::string_view text, size_t at) {
    return static_cast<uint8_t>(kHexValue[static_cast<uint8_t>(text[at])] << 4 |
                                kHexValue[static_cast<uint8_t>(text[at + 1])]);
}

bool AcceptedType(unsigned type) {
    return type <= 9 && kSrecAddressDigits[type] != 0;
}

char* PutHexByte(char* out, uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = kDigits[value >> 4];
    out[1] = kDigits[value & 0xF];
    return out + 2;
}

}  // namespace

int32_t DecodeSrec(SrecRecord* record, const char* line) {
    if (record == nullptr || line == nullptr) return SREC_ERROR_MISSING;
    const std::string_view text = LineBody(line);
    if (text.size() < 4 || text[0] != 'S') return SREC_ERROR_SHORT_LINE;
    for (size_t i = 1; i < text.size(); ++i) {
        if (kHexValue[static_cast<uint8_t>(text[i])] < 0) return SREC_ERROR_NOT_HEX;
    }
    const unsigned type = static_cast<unsigned>(kHexValue[static_cast<uint8_t>(text[1])]);
    const unsigned count = HexByte(text, 2);
    if (!AcceptedType(type)) return SREC_ERROR_TYPE;
    const unsigned addressDigits = kSrecAddressDigits[type];
    if (text.size() < addressDigits + 6) return SREC_ERROR_NO_ADDRESS;
    if (text.size() != count * 2 + 4) return SREC_ERROR_LENGTH;

    // Decoded aside so that a line that fails its checksum leaves the caller's record alone.
    SrecRecord decoded{};
    decoded.type = static_cast<uint8_t>(type);
    unsigned sum = count;
    size_t at = 4;
    for (unsigned i = 0; i < addressDigits / 2; ++i, at += 2) {
        const uint8_t byte = HexByte(text, at);
        decoded.address = decoded.address << 8 | byte;
        sum += byte;
    }
    decoded.length = static_cast<uint8_t>(count - addressDigits / 2 - 1);
    for (unsigned i = 0; i < decoded.length; ++i, at += 2) {
        decoded.data[i] = HexByte(text, at);
        sum += decoded.data[i];
    }
    sum += HexByte(text, at);
    if ((sum & 0xFF) != 0xFF) return SREC_ERROR_CHECKSUM;
    *record = decoded;
    return 0;
}

int32_t EncodeSrec(const SrecRecord* record, char* text) {
    if (record == nullptr || text == nullptr) return SREC_ERROR_MISSING;
    if (!AcceptedType(record->type)) return SREC_ERROR_TYPE;
    if (record->length > 32) return SREC_ERROR_TOO_LONG;
    const unsigned addressBytes = kSrecAddressDigits[record->type] / 2u;
    const uint8_t count = static_cast<uint8_t>(record->length + addressBytes + 1);

    char* out = text;
    *out++ = 'S';
    *out++ = static_cast<char>('0' + record->type);
    out = PutHexByte(out, count);
    unsigned sum = count;
    for (unsigned i = addressBytes; i-- > 0;) {
        const auto byte = static_cast<uint8_t>(record->address >> (8 * i));
        out = PutHexByte(out, byte);
        sum += byte;
    }
    for (unsigned i = 0; i < record->length; ++i) {
        out = PutHexByte(out, record->data[i]);
        sum += record->data[i];
    }
    out = PutHexByte(out, static_cast<uint8_t>(~sum));
    *out++ = '\n';
    *out = '\0';
    return 0;
}
