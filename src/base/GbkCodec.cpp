#include "base/GbkCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace {

// Length of the UTF-8 character that starts at p (at least 1).
size_t utf8CharLength(const char* p, size_t left)
{
    const auto lead = static_cast<unsigned char>(*p);
    const size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(n, left);
}

// Converts all of input from one encoding to another; a sequence that cannot
// be converted is replaced and skipped (one byte, or one UTF-8 character).
QByteArray convert(const char* to, const char* from, const QByteArray& input, const QByteArray& replacement,
                   bool skipUtf8Characters)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("the GBK converter is not available");
    QByteArray output;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        output.append(replacement);
        const size_t skip = skipUtf8Characters ? utf8CharLength(in, inLeft) : 1;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return output;
}

} // namespace

QString FromGbk(const QByteArray& bytes)
{
    return QString::fromUtf8(convert("UTF-8", "CP936", bytes, QByteArray("\xEF\xBF\xBD"), false));
}

QByteArray ToGbk(const QString& text) { return convert("CP936", "UTF-8", text.toUtf8(), QByteArray("?"), true); }

bool IsGbkEncodable(const QString& text)
{
    // What GBK cannot hold comes back as "?" (or, for a lone surrogate, as a
    // replacement character), so the text does not survive the round trip.
    return FromGbk(ToGbk(text)) == text;
}
