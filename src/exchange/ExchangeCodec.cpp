#include "exchange/ExchangeCodec.h"

#include <QStringDecoder>

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as Windows itself decodes them, so every byte survives a round trip.
constexpr char16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character in Windows-1252, or -1 when the code page has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString ExchangeCodec::decode(QByteArrayView bytes)
{
    // An editor may have put a UTF-8 byte-order mark in front; it is not part of the header.
    const QByteArrayView bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        bytes = bytes.sliced(bom.size());

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (!utf8.hasError())
        return decoded;

    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte);
    }
    return text;
}

bool ExchangeCodec::fitsWindows1252(QStringView text)
{
    for (QChar c : text) {
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    }
    return true;
}

QByteArray ExchangeCodec::encode(QStringView text)
{
    // One pass: most text is ASCII, and a character the code page lacks ends it early.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    bool highBytes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out[i] = char(c);
            continue;
        }
        const int byte = windows1252Byte(c);
        if (byte < 0)
            return text.toUtf8();
        out[i] = char(byte);
        highBytes = true;
    }
    // Windows-1252 text such as "Ã©" is also valid UTF-8 (for "é") and would read back as
    // that; such text is written as UTF-8, which reads back as it was.
    if (highBytes) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8.decode(bytes);
        if (!utf8.hasError())
            return text.toUtf8();
    }
    return bytes;
}
