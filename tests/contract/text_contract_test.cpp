// Upper-casing by the system's character tables, as value-name prefixes are compared.
// The literals are Windows-1252 bytes in every build; under Wine the ANSI code page must be
// 1252 as well (tests/wine/run.sh sees to that).
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace orvano::contract {
namespace {

using namespace std::string_literals;

TEST(TextContract, UpperCaseAnsiFollowsCodePage1252) {
    const struct {
        std::string text;
        std::string upper;
    } cases[] = {
        {"äöü ß abc", "ÄÖÜ ß ABC"},  // ß has no capital in 1252
        {"Nummer1 nummer2", "NUMMER1 NUMMER2"},
        {"àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ", "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ"},
        {"ÿšœž", "ŸŠŒŽ"},  // capitals outside the Latin-1 block
        {"÷×µ", "÷×µ"},    // ÷ sits among the small letters but is none
        {"0123456789 .-_@[]{}", "0123456789 .-_@[]{}"},
        {"ÄÖÜ ABC", "ÄÖÜ ABC"},
        {"ab\0cd"s, "AB\0CD"s},  // the whole text, past a NUL
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.upper, platform::UpperCaseAnsi(c.text));
    }
}

TEST(TextContract, AnsiAndUtf16RoundTrip) {
    struct Case {
        std::string ansi;
        std::string utf16;
    } cases[] = {
        {"Port", "P\0o\0r\0t\0"s},
        {"Ä€ß", "\xC4\0\xAC\x20\xDF\0"s},  // € is U+20AC in 1252
        {"\r\n", "\r\0\n\0"s},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ansi);
        EXPECT_EQ(c.utf16, platform::AnsiToUtf16(c.ansi));
        EXPECT_EQ(c.ansi, platform::Utf16ToAnsi(c.utf16));
    }
    EXPECT_EQ("?", platform::Utf16ToAnsi("\x3A\x26"s)) << "a character 1252 lacks";
    EXPECT_EQ("A", platform::Utf16ToAnsi("A\0\x42"s)) << "an odd last byte";
}

}  // namespace
}  // namespace orvano::contract
