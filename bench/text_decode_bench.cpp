// Decode throughput of the text decoder and the time the start-up expansion of the embedded
// texts takes, on the build machine. Figures only; nothing here passes or fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "texts/lzari_decoder.h"
#include "tools/lzari_encoder.h"
#include "texts/text_blob.h"
#include "texts/text_lists.h"

namespace {

constexpr uint32_t kSampleSize = 90000;
constexpr int kRuns = 15;

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> randomText() {
    std::mt19937 generator(20240611);
    std::vector<uint8_t> text(kSampleSize);
    for (uint8_t& byte : text) {
        byte = static_cast<uint8_t>(generator());
    }
    return text;
}

// Sentences drawn from a vocabulary of common words, with CR LF line ends near 72 columns.
std::vector<uint8_t> proseText() {
    static const char* const kWords[] = {
        "the",     "of",      "and",    "to",       "in",      "a",        "is",      "that",
        "for",     "it",      "as",     "was",      "with",    "be",       "by",      "on",
        "not",     "he",      "this",   "are",      "or",      "his",      "from",    "at",
        "which",   "but",     "have",   "an",       "had",     "they",     "you",     "were",
        "their",   "one",     "all",    "we",       "can",     "her",      "has",     "there",
        "been",    "if",      "more",   "when",     "will",    "would",    "who",     "so",
        "no",      "window",  "screen", "picture",  "colour",  "river",    "morning", "evening",
        "letter",  "village", "market", "question", "answer",  "children", "garden",  "journey",
        "history", "country", "winter", "summer",   "quietly", "suddenly", "across",  "between",
        "through", "without", "before", "after",    "always",  "never",    "perhaps", "together"};
    constexpr int kWordCount = static_cast<int>(sizeof(kWords) / sizeof(kWords[0]));
    std::mt19937 generator(19891);
    std::string text;
    int column = 0;
    int sentence = 0;
    while (text.size() < kSampleSize) {
        std::string word = kWords[generator() % kWordCount];
        if (sentence == 0) {
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        }
        sentence++;
        if (sentence > 6 && generator() % 5 == 0) {
            word += generator() % 4 == 0 ? "," : ".";
            sentence = word.back() == '.' ? 0 : sentence;
        }
        if (column + word.size() > 72) {
            text += "\r\n";
            column = 0;
        } else if (column > 0) {
            text += ' ';
            column++;
        }
        text += word;
        column += static_cast<int>(word.size());
    }
    text.resize(kSampleSize);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Median and best of the runs: the machine may be shared, and the best shows the code's own speed.
struct Figures {
    double median;
    double best;
};

Figures figuresOf(std::vector<double> values, bool higherIsBetter) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], higherIsBetter ? values.back() : values.front()};
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Decode rate in MB/s of expanded text; checks the result once.
Figures decodeRate(const std::vector<uint8_t>& text, bool& correct) {
    std::vector<uint8_t> blob = lzariEncode(text.data(), static_cast<uint32_t>(text.size()));
    std::vector<uint8_t> output(text.size() + 1);
    std::vector<double> rates;
    for (int run = 0; run < kRuns; run++) {
        Clock::time_point start = Clock::now();
        LzariDecoder decoder;
        decoder.lzariDecode(blob.data(), static_cast<uint32_t>(blob.size()), output.data(),
                            static_cast<uint32_t>(output.size()));
        rates.push_back(text.size() / secondsSince(start) / 1e6);
    }
    correct = std::memcmp(output.data(), text.data(), text.size()) == 0;
    std::printf("  %u bytes -> %zu-byte block\n", static_cast<unsigned>(text.size()), blob.size());
    return figuresOf(rates, true);
}

// Floor: copying the same number of bytes.
double copyRate() {
    std::vector<uint8_t> from(kSampleSize, 1);
    std::vector<uint8_t> to(kSampleSize);
    std::vector<double> rates;
    for (int run = 0; run < kRuns; run++) {
        Clock::time_point start = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        from[run] = to[kSampleSize - 1 - run];
        rates.push_back(kSampleSize / secondsSince(start) / 1e6);
    }
    return figuresOf(rates, true).median;
}

// What loadTexts() does at start-up: allocate the buffer and decoder, expand, cut.
Figures startupMicroseconds() {
    std::vector<double> times;
    for (int run = 0; run < kRuns; run++) {
        Clock::time_point start = Clock::now();
        std::unique_ptr<char[]> buffer(new char[kTextBufferSize]);
        LoadedTexts texts = {};
        expandTexts(TextBlob, kTextBlobSize, buffer.get(), kTextBufferSize, texts);
        times.push_back(secondsSince(start) * 1e6);
    }
    return figuresOf(times, false);
}

}  // namespace

int main() {
    bool randomCorrect = false;
    bool proseCorrect = false;
    std::printf("random text:\n");
    Figures random = decodeRate(randomText(), randomCorrect);
    std::printf("prose text:\n");
    Figures prose = decodeRate(proseText(), proseCorrect);
    std::printf("decode MB/s, median / best of %d: random %.1f / %.1f%s, prose %.1f / %.1f%s\n",
                kRuns, random.median, random.best, randomCorrect ? "" : " WRONG RESULT",
                prose.median, prose.best, proseCorrect ? "" : " WRONG RESULT");
    std::printf("memcpy floor %.0f MB/s\n", copyRate());
    Figures startup = startupMicroseconds();
    std::printf("start-up expansion of the %u-byte blob (loadTexts): %.0f / %.0f us\n",
                static_cast<unsigned>(kTextBlobSize), startup.median, startup.best);
    return randomCorrect && proseCorrect ? 0 : 1;
}
