#include <gtest/gtest.h>

#include "common/kml_skeleton.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

std::string written(std::string_view name) {
    TempFolder folder;
    {
        auto document = common::TextWriter::create(folder / "names.kml", "names.kml");
        common::write_kml_text(document, name);
    }
    return folder.read("names.kml");
}

TEST(kml_text, names_become_escaped_utf8) {
    const struct {
        const char* legend;
        std::string_view name;
        std::string_view text;
    } cases[] = {
        {"plain ASCII stays", " Sofia centre  ", " Sofia centre  "},
        {"the five XML specials", "A&B <c> \"q\" 'a'", "A&amp;B &lt;c&gt; &quot;q&quot; &apos;a&apos;"},
        {"an entity is not taken for one", "&amp;", "&amp;amp;"},
        {"Windows-1251 Cyrillic is converted", "\xD1\xEE\xF4\xE8\xFF \xB9" "5", "София №5"},
        {"UTF-8 Cyrillic stays", "София №5", "София №5"},
        {"not UTF-8: every byte is Windows-1251", "Caf\xE9 \xC3\xA9", "Cafй Г©"},
        {"a tab stays", "a\tb", "a\tb"},
        {"control characters are not XML", std::string_view("a\x01" "b\x1b" "c\0d", 7), "a\uFFFDb\uFFFDc\uFFFDd"},
        {"the unused Windows-1251 byte", "\x98\xE0", "\uFFFDа"},
        {"U+FFFE is not XML", "x\xEF\xBF\xBEy", "x\uFFFDy"},
        {"four-byte UTF-8 stays", "\xF0\x9F\x93\x8D", "\xF0\x9F\x93\x8D"},
        {"an empty name", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(written(c.name), c.text);
    }
}

}  // namespace
