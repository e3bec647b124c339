#pragma once

#include <QByteArray>
#include <QString>

// Text of exchange files. Older installations wrote single-byte Windows-1252; files holding a
// character outside that code page are written as UTF-8. The reader takes bytes that are valid
// UTF-8 as UTF-8 and anything else as Windows-1252, which decodes every byte sequence.
class ExchangeCodec
{
public:
    static QString decode(QByteArrayView bytes);
    // Windows-1252 when every character fits, UTF-8 otherwise; never a byte-order mark.
    static QByteArray encode(QStringView text);
    static bool fitsWindows1252(QStringView text);
};
