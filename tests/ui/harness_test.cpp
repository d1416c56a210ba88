// The test harness itself: the answerer, the registry sandbox and the
// temporary directory behave as the other tests rely on.
#include "tests/support/modal_answerer.h"
#include "tests/support/pump.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using kt_test::ModalAnswerer;

namespace {

const char kSandboxKey[] = "SOFTWARE\\ktconfig-harness-check";

}  // namespace

TEST(ModalAnswerer, PressesTheExpectedButtonOfAMessageBox) {
    ModalAnswerer answerer;
    answerer.Expect("Question", "Go on?", IDYES);
    EXPECT_EQ(IDYES, MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO));
    EXPECT_EQ(1, answerer.Answered());
}

TEST(ModalAnswerer, AnswersBoxesInTheOrderExpected) {
    ModalAnswerer answerer;
    answerer.Expect("First", "one", IDOK).Expect("Second", "two", IDNO);
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "one", "First", MB_OKCANCEL));
    EXPECT_EQ(IDNO, MessageBoxA(nullptr, "two", "Second", MB_YESNOCANCEL));
    ASSERT_EQ(2u, answerer.Seen().size());
    EXPECT_NE(std::string::npos, answerer.Seen()[1].find("two"));
}

TEST(ModalAnswerer, FailsWhenTheExpectedBoxNeverCame) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            answerer.Expect("Warning", "Disk full", IDOK);
        },
        "expected window never came");
}

TEST(ModalAnswerer, FailsOnABoxWithAnotherTextAndClosesIt) {
    static int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            answerer.Expect("Warning", "Disk full", IDOK);
            result = MessageBoxA(nullptr, "Disk empty", "Warning", MB_YESNO);
        },
        "got caption \"Warning\"");
    // No cancel button: the safe answer is No.
    EXPECT_EQ(IDNO, result);
}

TEST(ModalAnswerer, FailsOnAnUnexpectedBoxAndCancelsIt) {
    static int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer;
            result = MessageBoxA(nullptr, "Surprise", "Note", MB_OKCANCEL);
        },
        "unexpected window: caption \"Note\"");
    EXPECT_EQ(IDCANCEL, result);
}

TEST(RegistrySandbox, KeepsWritesAwayFromTheRealKeys) {
    {
        kt_test::RegistrySandbox sandbox;
        kt_test::SetRegString(HKEY_LOCAL_MACHINE, kSandboxKey, "Name", "inside");
        kt_test::SetRegDword(HKEY_CURRENT_USER, kSandboxKey, "Count", 7);
        std::string text;
        EXPECT_TRUE(kt_test::GetRegString(HKEY_LOCAL_MACHINE, kSandboxKey, "Name", &text));
        EXPECT_EQ("inside", text);
        DWORD count = 0;
        EXPECT_TRUE(kt_test::GetRegDword(HKEY_CURRENT_USER, kSandboxKey, "Count", &count));
        EXPECT_EQ(7u, count);
    }
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_LOCAL_MACHINE, kSandboxKey));
    EXPECT_FALSE(kt_test::RegKeyExists(HKEY_CURRENT_USER, kSandboxKey));
}

TEST(TempDir, RemovesNestedAndReadOnlyFiles) {
    std::string path;
    {
        kt_test::TempDir dir;
        path = dir.Path();
        dir.Write("sub\\deeper\\a.txt", "alpha");
        dir.MakeDir("empty");
        ASSERT_TRUE(SetFileAttributesA(dir.File("sub\\deeper\\a.txt").c_str(),
                                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ("alpha", dir.Read("sub/deeper/a.txt"));
        EXPECT_TRUE(dir.Exists("empty"));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}
