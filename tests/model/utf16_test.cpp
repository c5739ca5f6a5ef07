#include <gtest/gtest.h>

#include <array>

#include "common/utf16.h"

namespace tavrik {
namespace {

TEST(Utf16, RoundTripsAllPlanes) {
    const std::string text = "/home/us\xC3\xA9r/\xE9\x9F\xB3\xE4\xB9\x90/\xF0\x9F\x8E\xB5.mp3";
    const std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 20u);
    EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(Utf16, MalformedInputBecomesReplacement) {
    EXPECT_EQ(utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC3"), u"\uFFFD");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Utf16, FieldsStopAtTerminatorOrEnd) {
    std::array<std::uint8_t, 8> field{};
    EXPECT_TRUE(writeUtf16Field(field, u"abc"));
    EXPECT_EQ(readUtf16Field(field), u"abc");
    EXPECT_FALSE(writeUtf16Field(field, u"abcd"));  // no room for the terminator
    EXPECT_EQ(readUtf16Field(field), u"abc");
    field.fill('x');
    EXPECT_EQ(readUtf16Field(field).size(), 4u);  // no terminator: the field's end stops it
}

}  // namespace
}  // namespace tavrik
