#include "base/path_text.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

struct FolderFileCase {
    const wchar_t* path;
    const wchar_t* fileName;
    const wchar_t* expected;  // null: refused
};

class FolderFile : public ::testing::TestWithParam<FolderFileCase> {};

TEST_P(FolderFile, JoinsTheFolderWithTheName) {
    const FolderFileCase& row = GetParam();
    wchar_t out[kPathCapacity];
    out[0] = L'x';
    bool joined = replaceFileName(row.path, wcslen(row.path), row.fileName, out, kPathCapacity);
    EXPECT_EQ(joined, row.expected != nullptr);
    EXPECT_EQ(std::wstring(out), std::wstring(row.expected != nullptr ? row.expected : L""));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FolderFile,
    ::testing::Values(
        FolderFileCase{L"C:\\Tools\\zoom.exe", L"water.png", L"C:\\Tools\\water.png"},
        FolderFileCase{L"C:\\\u0141\u00f3d\u017a \u0417\u0430\u0433\\\u5de5\u5177\\v.exe",
                       L"water.png",
                       L"C:\\\u0141\u00f3d\u017a \u0417\u0430\u0433\\\u5de5\u5177\\water.png"},
        FolderFileCase{L"C:/Tools/zoom.exe", L"a", L"C:/Tools/a"},
        FolderFileCase{L"\\\\server\\share\\v.exe", L"a.ini", L"\\\\server\\share\\a.ini"},
        FolderFileCase{L"zoom.exe", L"water.png", nullptr},
        FolderFileCase{L"C:\\Tools\\", L"", nullptr}));

TEST(FolderFile, RefusesAResultThatDoesNotFit) {
    wchar_t out[kPathCapacity];
    std::wstring folder = L"C:\\" + std::wstring(246, L'a') + L"\\";  // 250 characters
    std::wstring path = folder + L"v.exe";
    EXPECT_TRUE(replaceFileName(path.c_str(), path.size(), L"water.png", out, kPathCapacity));
    EXPECT_EQ(std::wstring(out), folder + L"water.png");  // 259 + terminator
    EXPECT_FALSE(replaceFileName(path.c_str(), path.size(), L"water.png1", out, kPathCapacity));
    EXPECT_STREQ(out, L"");
    // Only the given length counts: a longer text behind it is not looked at.
    EXPECT_FALSE(replaceFileName(L"C:\\a\\b", 2, L"x", out, kPathCapacity));
}

}  // namespace
