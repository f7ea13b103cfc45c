#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/lzari_encoder.h"
#include "texts/text_blob.h"
#include "texts/text_lists.h"
#include "texts/windows1252.h"

namespace {

// A writable copy of a text with its terminator, as the decoder leaves it in the buffer.
std::vector<char> bufferOf(const std::string& text, size_t extra = 1) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(text.size() + extra, '\0');
    return buffer;
}

struct MarkerCase {
    const char* name;
    std::string text;
    int markers;
    std::vector<const char*> segments;  // nullptr: the segment was not found
};

std::vector<MarkerCase> markerCases() {
    return {
        {"None", "text\r\n", 0, {"text\r\n", nullptr, nullptr, nullptr, nullptr, nullptr}},
        {"LineMarker",
         "A\r\n##\r\nB\r\n",
         1,
         {"A\r\n", "B\r\n", nullptr, nullptr, nullptr, nullptr}},
        {"InsideALine", "ab##cd\r\nef", 1, {"ab", "\r\nef", nullptr, nullptr, nullptr, nullptr}},
        {"Adjacent", "X\r\n##\r\n##\r\nY", 2, {"X\r\n", "", "Y", nullptr, nullptr, nullptr}},
        {"ThreeHashes", "a###\r\nb", 1, {"a", "\nb", nullptr, nullptr, nullptr, nullptr}},
        {"FourHashes", "####\r\nb", 2, {"", "\r\nb", "b", nullptr, nullptr, nullptr}},
        {"OneHashAtTheEnd", "a#", 0, {"a#", nullptr, nullptr, nullptr, nullptr, nullptr}},
        {"MarkerAtTheVeryEnd", "ab##", 1, {"ab", "", nullptr, nullptr, nullptr, nullptr}},
        {"MarkerWithCrAtTheEnd", "ab##\r", 1, {"ab", "", nullptr, nullptr, nullptr, nullptr}},
        {"SixMarkersStartFiveSegments",
         "0##\r\n1##\r\n2##\r\n3##\r\n4##\r\n5##\r\n6",
         6,
         {"0", "1", "2", "3", "4", "5"}},
    };
}

class MarkerScan : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerScan, CutsAtEveryDoubleHash) {
    const MarkerCase& c = GetParam();
    std::vector<char> buffer = bufferOf(c.text);
    char* segments[kSegmentCount] = {};
    EXPECT_EQ(scanMarkers(buffer.data(), static_cast<uint32_t>(c.text.size()), segments),
              c.markers);
    for (int i = 0; i < kSegmentCount; i++) {
        if (c.segments[i] == nullptr) {
            EXPECT_EQ(segments[i], nullptr) << "segment " << i;
        } else {
            ASSERT_NE(segments[i], nullptr) << "segment " << i;
            EXPECT_STREQ(segments[i], c.segments[i]) << "segment " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, MarkerScan, ::testing::ValuesIn(markerCases()),
                         [](const ::testing::TestParamInfo<MarkerCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

struct SplitCase {
    const char* name;
    std::string segment;
    std::vector<std::string> lines;
};

std::vector<SplitCase> splitCases() {
    return {
        {"Empty", "", {}},
        {"CrLfLines", "a\r\nb\r\n", {"a", "b"}},
        {"LfOnlyLines", "a\nb\n", {"a", "b"}},
        {"EmptyLines", "\r\n\r\nx\r\n\n", {"", "", "x", ""}},
        {"CrInsideALineStays", "a\rb\r\n\rc\n", {"a\rb", "\rc"}},
        {"LastLineWithoutLfIsDropped", "a\r\nb", {"a"}},
        {"CrLfCrLf", "a\r\r\n", {"a\r"}},
        {"OnlyAnUnendedLine", "abc\r", {}},
    };
}

class ListSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ListSplit, OneEntryPerEndedLine) {
    const SplitCase& c = GetParam();
    std::vector<char> buffer = bufferOf(c.segment);
    const char* entries[kListLength] = {};
    splitList(buffer.data(), entries);
    for (int i = 0; i < kListLength; i++) {
        if (i < static_cast<int>(c.lines.size())) {
            ASSERT_NE(entries[i], nullptr) << "line " << i;
            EXPECT_EQ(std::string(entries[i]), c.lines[static_cast<size_t>(i)]) << "line " << i;
        } else {
            EXPECT_EQ(entries[i], nullptr) << "line " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Segments, ListSplit, ::testing::ValuesIn(splitCases()),
                         [](const ::testing::TestParamInfo<SplitCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

TEST(ListSplitLimits, KeepsTheFirst32Lines) {
    std::string segment;
    for (int i = 0; i < 40; i++) {
        segment += "line" + std::to_string(i) + "\r\n";
    }
    std::vector<char> buffer = bufferOf(segment);
    const char* entries[kListLength + 1] = {};
    const char* untouched = "untouched";
    entries[kListLength] = untouched;
    splitList(buffer.data(), entries);
    EXPECT_STREQ(entries[0], "line0");
    EXPECT_STREQ(entries[kListLength - 1], "line31");
    EXPECT_EQ(entries[kListLength], untouched);
}

TEST(ListSplitLimits, LeadingLfLeavesTheByteBeforeTheSegment) {
    std::vector<char> buffer = bufferOf("Q\r\nz\n");
    const char* entries[kListLength] = {};
    splitList(buffer.data() + 2, entries);
    EXPECT_EQ(buffer[1], '\r');
    EXPECT_STREQ(entries[0], "");
    EXPECT_STREQ(entries[1], "z");
}

std::string sixSegments() {
    return "Hilfe\r\n##\r\nHelp\r\n##\r\nspare\r\n##\r\n##\r\n"
           "d0\r\nd1\r\n##\r\n"
           "e0\r\ne1\r\n";
}

TEST(CutText, FillsHelpTextsAndBothLists) {
    std::string text = sixSegments();
    std::vector<char> buffer = bufferOf(text, 64);
    LoadedTexts texts = {};
    cutText(buffer.data(), static_cast<uint32_t>(buffer.size()), static_cast<uint32_t>(text.size()),
            texts);
    EXPECT_STREQ(texts.germanHelp, "Hilfe\r\n");
    EXPECT_STREQ(texts.englishHelp, "Help\r\n");
    EXPECT_STREQ(texts.stringList.entries[0], "e0");
    EXPECT_STREQ(texts.stringList.entries[1], "e1");
    EXPECT_EQ(texts.stringList.entries[2], nullptr);
    EXPECT_STREQ(texts.stringList.entries[32], "d0");
    EXPECT_STREQ(texts.stringList.entries[33], "d1");
    EXPECT_EQ(texts.stringList.entries[34], nullptr);
}

TEST(CutText, MissingSegmentsKeepTheirReferences) {
    std::string text = "Nur Hilfe\r\n";
    std::vector<char> buffer = bufferOf(text);
    LoadedTexts texts = {};
    texts.englishHelp = "old";
    texts.stringList.entries[4] = "old4";
    cutText(buffer.data(), static_cast<uint32_t>(buffer.size()), static_cast<uint32_t>(text.size()),
            texts);
    EXPECT_STREQ(texts.germanHelp, "Nur Hilfe\r\n");
    EXPECT_STREQ(texts.englishHelp, "old");
    EXPECT_STREQ(texts.stringList.entries[4], "old4");
}

// The decoder reports the header's length even when the buffer holds only part of the text.
TEST(CutText, ALengthBeyondTheBufferIsCutAtItsLastByte) {
    std::vector<char> buffer(8, '#');
    LoadedTexts texts = {};
    cutText(buffer.data(), static_cast<uint32_t>(buffer.size()), 100000, texts);
    EXPECT_EQ(buffer[7], '\0');
    EXPECT_STREQ(texts.germanHelp, "");
    EXPECT_STREQ(texts.englishHelp, "");
}

struct LanguageCase {
    int language;
    const char* help;
    const char* entry5;
};

class LanguageChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, ZeroIsGermanEverythingElseEnglish) {
    std::string text = sixSegments();
    std::vector<char> buffer = bufferOf(text);
    LoadedTexts texts = {};
    cutText(buffer.data(), static_cast<uint32_t>(buffer.size()), static_cast<uint32_t>(text.size()),
            texts);
    EXPECT_STREQ(helpTextFor(texts, GetParam().language), GetParam().help);
    EXPECT_STREQ(uiStringFor(texts, GetParam().language, 1), GetParam().entry5);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageChoice,
                         ::testing::Values(LanguageCase{0, "Hilfe\r\n", "d1"},
                                           LanguageCase{1, "Help\r\n", "e1"},
                                           LanguageCase{2, "Help\r\n", "e1"},
                                           LanguageCase{-1, "Help\r\n", "e1"}));

TEST(LanguageChoiceLimits, UnfilledAndOutOfRangeEntriesAreEmpty) {
    LoadedTexts texts = {};
    EXPECT_STREQ(helpTextFor(texts, 0), "");
    EXPECT_STREQ(helpTextFor(texts, 1), "");
    for (int index : {-1, 0, 7, 31, 32, 64, 1000}) {
        EXPECT_STREQ(uiStringFor(texts, 0, index), "") << index;
        EXPECT_STREQ(uiStringFor(texts, 1, index), "") << index;
    }
    texts.stringList.entries[63] = "last German";
    EXPECT_STREQ(uiStringFor(texts, 0, 31), "last German");
    EXPECT_STREQ(uiStringFor(texts, 1, 63), "");
}

TEST(ExpandTexts, ExpandsACompressedTextIntoItsLists) {
    std::string text = sixSegments();
    std::vector<uint8_t> blob = lzariEncode(reinterpret_cast<const uint8_t*>(text.data()),
                                            static_cast<uint32_t>(text.size()));
    std::vector<char> buffer(kTextBufferSize);
    LoadedTexts texts = {};
    ASSERT_EQ(expandTexts(blob.data(), static_cast<uint32_t>(blob.size()), buffer.data(),
                          kTextBufferSize, texts),
              1);
    EXPECT_STREQ(helpTextFor(texts, 1), "Help\r\n");
    EXPECT_STREQ(uiStringFor(texts, 0, 0), "d0");
    EXPECT_EQ(expandTexts(blob.data(), static_cast<uint32_t>(blob.size()), nullptr, 100, texts), 0);
}

// The blob the program carries: both lists and help texts in place, the unused entries empty.
TEST(EmbeddedBlob, HoldsBothLanguages) {
    std::vector<char> buffer(kTextBufferSize);
    LoadedTexts texts = {};
    ASSERT_EQ(expandTexts(TextBlob, kTextBlobSize, buffer.data(), kTextBufferSize, texts), 1);
    EXPECT_STREQ(uiStringFor(texts, 0, 5),
                 "Bitte eine Tastenkombination!\\nNicht nur eine Taste ;)");
    EXPECT_STREQ(uiStringFor(texts, 1, 5),
                 "Please provide a key combination!\\nNot only one key ;)");
    EXPECT_STREQ(uiStringFor(texts, 2, 7), "Start with Windows");
    EXPECT_STREQ(uiStringFor(texts, 0, 6),
                 "Dieses Men\xFC schlie\xDF"
                 "en");
    for (int index : {0, 1, 2, 3, 14, 20, 31}) {
        EXPECT_STREQ(uiStringFor(texts, 0, index), "") << index;
        EXPECT_STREQ(uiStringFor(texts, 1, index), "") << index;
        EXPECT_NE(texts.stringList.entries[index], nullptr) << index;
        EXPECT_NE(texts.stringList.entries[index + 32], nullptr) << index;
    }
    EXPECT_EQ(std::string(helpTextFor(texts, 0)).rfind("Ein kleines Programm", 0), 0u);
    EXPECT_EQ(std::string(helpTextFor(texts, 2)).rfind("Small program", 0), 0u);
}

// Latin-1 where 1252 agrees with it, the table in 0x80..0x9F with its gaps as controls; zero
// bytes are kept, so every text keeps its offset.
TEST(Windows1252, WidensEachByteToItsOneCodeUnit) {
    const char text[] = "A\x80\x81\x8A\x9D\x9F\xA0\xDF\xFC\xFF\0M";
    char16_t wide[sizeof(text)] = {};
    widenWindows1252(text, sizeof(text), wide);
    EXPECT_EQ(std::u16string(wide, sizeof(text)),
              std::u16string(u"A\u20AC\x81\u0160\x9D\u0178\xA0\xDF\xFC\xFF\0M\0", 13));
}

}  // namespace
