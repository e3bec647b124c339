#include "exchange/ExchangeCodec.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

TEST(ExchangeCodec, EveryTextReadsBackAsItWasWritten)
{
    // Windows-1252 where it fits, with every byte of the code page, undefined ones included.
    QByteArray allBytes;
    for (int byte = 1; byte < 256; ++byte)
        allBytes.append(char(byte));
    const QString windows = ExchangeCodec::decode(allBytes);
    EXPECT_EQ(windows.size(), 255);
    EXPECT_EQ(windows[0x80 - 1], QChar(0x20AC));
    EXPECT_EQ(windows[0x81 - 1], QChar(0x81));
    EXPECT_EQ(ExchangeCodec::encode(windows), allBytes);

    const QString texts[] = {"Plain ASCII", "caf\u00E9 \u201Cquoted\u201D \u20AC", "\u03A9 and \U0001F409",
                             // Looks like the UTF-8 of "é" when written in Windows-1252.
                             "\u00C3\u00A9"};
    for (const QString &text : texts)
        EXPECT_EQ(ExchangeCodec::decode(ExchangeCodec::encode(text)), text);
    EXPECT_EQ(ExchangeCodec::encode(texts[1]), QByteArray("caf\xE9 \x93quoted\x94 \x80"));
    EXPECT_EQ(ExchangeCodec::encode(texts[3]), QByteArray("\xC3\x83\xC2\xA9"));

    // A byte-order mark is not text; overlong and surrogate forms are not UTF-8.
    EXPECT_EQ(ExchangeCodec::decode("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(ExchangeCodec::decode("\xC0\xAF"), "\u00C0\u00AF");
    EXPECT_EQ(ExchangeCodec::decode("\xED\xA0\x80"), "\u00ED\u00A0\u20AC");
}
