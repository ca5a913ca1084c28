#include "store/Windows1252.h"

namespace quorvo {

namespace {

// 0x80-0x9F; 0 marks the five bytes Windows-1252 leaves undefined, kept as the C1 control of that value
// so that whatever another program stored there survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i))
            return 0x80 + i;
    return -1;
}

} // namespace

QString Windows1252::toUnicode(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* data = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        const char16_t high = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : 0;
        data[i] = QChar(high ? high : char16_t(b));
    }
    return out;
}

std::string Windows1252::fromUnicode(QStringView text, bool* ok)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const int b = byteFor(c.unicode());
        if (b < 0) {
            if (ok)
                *ok = false;
            return {};
        }
        out.push_back(static_cast<char>(b));
    }
    if (ok)
        *ok = true;
    return out;
}

bool Windows1252::canEncode(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

bool Windows1252::canEncode(QStringView text)
{
    for (QChar c : text)
        if (!canEncode(c))
            return false;
    return true;
}

} // namespace quorvo
