// Stored text read whole or not at all: the end of the data is the end of
// the text, whatever another program left after it or left out.
#include "ui/reg_text.h"

#include "tests/support/registry_sandbox.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

const char kKey[] = "Software\\KtRegTextTest";

struct TextCase {
    const char* what;
    DWORD type;
    std::string data;  // the stored bytes, a terminator only where given
    LONG expectedStatus;
    std::string expectedText;
};

class QueryValueTextTest : public ::testing::TestWithParam<TextCase> {
protected:
    kt_test::RegistrySandbox sandbox;
};

TEST_P(QueryValueTextTest, TheTextEndsWhereTheDataEnds) {
    const TextCase& c = GetParam();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, nullptr, 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                             static_cast<DWORD>(c.data.size())));
    RegCloseKey(key);

    char text[8];
    std::memset(text, 'x', sizeof text);
    LONG dataSize = -1;
    EXPECT_EQ(c.expectedStatus,
              QueryValueText(HKEY_CURRENT_USER, kKey, text, sizeof text, &dataSize));
    EXPECT_EQ(c.expectedText, std::string(text));
    EXPECT_GE(dataSize, static_cast<LONG>(c.expectedText.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Values, QueryValueTextTest,
    ::testing::Values(TextCase{"terminated", REG_SZ, std::string("abc", 4), ERROR_SUCCESS, "abc"},
                      TextCase{"unterminated", REG_SZ, "abc", ERROR_SUCCESS, "abc"},
                      TextCase{"empty", REG_SZ, "", ERROR_SUCCESS, ""},
                      TextCase{"binary", REG_BINARY, std::string("a\0b", 3), ERROR_SUCCESS, "a"},
                      TextCase{"filling", REG_BINARY, "abcdefgh", ERROR_SUCCESS, "abcdefg"},
                      TextCase{"too long", REG_SZ, std::string("abcdefghij", 11), ERROR_MORE_DATA,
                               ""}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(QueryValueText, AMissingValueLeavesTheTextEmpty) {
    kt_test::RegistrySandbox sandbox;
    char text[8] = "stale";
    EXPECT_NE(ERROR_SUCCESS, QueryValueText(HKEY_CURRENT_USER, kKey, text, sizeof text));
    EXPECT_STREQ("", text);
}

}  // namespace
