#include "framework/text/packedtext.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace {

TEST(PackedText, RoundTripsTextOfEverySize) {
    std::string big;
    for (int i = 0; i < 300000; ++i) big += static_cast<char>("0123456789ABCDEF\n"[i * 7 % 17]);
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (const std::string& text : {std::string(), std::string("x"), bytes, big}) {
        std::string packed = fw::PackText(text);
        EXPECT_EQ(fw::UnpackText(packed), text) << text.size() << " bytes";
    }
    // Hexadecimal picture data is what it is used for: it must pack well.
    EXPECT_LT(fw::PackText(big).size(), big.size() / 10);
}

TEST(PackedText, DamagedDataIsRefusedNotMisread) {
    const std::string packed = fw::PackText("object Form1: TForm1\n  Left = 1\nend\n");
    EXPECT_THROW(fw::UnpackText(""), fw::EParserError);
    EXPECT_THROW(fw::UnpackText(packed.substr(0, 3)), fw::EParserError);
    EXPECT_THROW(fw::UnpackText(packed.substr(0, packed.size() - 6)), fw::EParserError);
    std::string flipped = packed;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x55);
    EXPECT_THROW(fw::UnpackText(flipped), fw::EParserError);
}

}  // namespace
