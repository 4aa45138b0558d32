// The game's texts are in code page 1250 (its ANSI code page); the desktops and browsers
// the stand-ins show them on speak UTF-8. iconv does the conversion.
#include <iconv.h>

#include <vector>

#include "platform/standin/standin.h"

namespace orvstandin {

std::string Cp1250ToUtf8(const char* text) {
    if (text == nullptr) return std::string();
    std::string in(text);
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == (iconv_t)-1) return in;  // no converter: ASCII still reads right
    std::string out;
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = &in[0];
    size_t srcLeft = in.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == (size_t)-1) {
            // Bytes that 1250 leaves undefined become '?', and conversion goes on.
            if (dstLeft == 0) break;
            *dst++ = '?';
            --dstLeft;
            ++src;
            --srcLeft;
        }
    }
    out.assign(buffer.data(), (size_t)(dst - buffer.data()));
    iconv_close(cd);
    return out;
}

}  // namespace orvstandin
