// UTF-8 file names with escaped undecodable bytes; see path_encoding.h.
#include "platform/system/path_encoding.h"

namespace {

// Length of the valid UTF-8 sequence at `p` (up to `end`) and its value, or 0.
int DecodeOne(const unsigned char* p, const unsigned char* end, uint32_t* value) {
    const uint32_t lead = p[0];
    int length;
    uint32_t minimum;
    if (lead < 0x80) {
        *value = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        *value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        *value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        *value = lead & 0x07;
    } else {
        return 0;
    }
    if (end - p < length) return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        *value = (*value << 6) | (p[i] & 0x3F);
    }
    if (*value < minimum || *value > 0x10FFFF || (*value >= 0xD800 && *value <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

DWORD SysPathToWide(const std::string& bytes, LPWSTR out, DWORD capacity) {
    if (out == nullptr || capacity == 0) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    DWORD written = 0;
    while (p < end && written + 1 < capacity) {
        uint32_t value = 0;
        const int length = DecodeOne(p, end, &value);
        if (length == 0) {
            value = 0xDC00 | *p;  // an escaped byte
            p += 1;
        } else {
            p += length;
        }
        out[written++] = static_cast<WCHAR>(value);
    }
    out[written] = L'\0';
    return written;
}

void SysAppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool SysWideToPath(LPCWSTR path, std::string* bytes) {
    if (path == nullptr) return false;
    for (const WCHAR* p = path; *p != L'\0'; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (c == '\\') {
            *bytes += '/';
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            *bytes += static_cast<char>(c & 0xFF);  // an escaped byte
        } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        } else {
            SysAppendUtf8(*bytes, c);
        }
    }
    return !bytes->empty();
}
