// The recorded cues as compiled into the program: each is read back from the
// embedded bytes and checked against the game's cue table (format, length),
// for being audible, and for ending in silence rather than mid-word.

#include "platform/cue_table.h"

#include "core/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// -- The cue table --
struct CueRow {
    const char* name;  // as the game calls it
    int rate;          // Hz
    int bits;
    int length_ms;
    bool speech;
};

constexpr CueRow kCueTable[] = {
    {"corkpop", 22050, 8, 975, false},
    {"thunk", 22050, 8, 624, false},
    {"sinking", 11025, 8, 1723, false},
    {"speakpu", 22050, 16, 1177, true},
    {"speakpd", 22050, 16, 1231, true},
    {"speakyr", 22050, 16, 1062, true},
    {"speakyl", 22050, 16, 1206, true},
    {"speakrr", 22050, 16, 1252, true},
    {"speakrl", 22050, 16, 1278, true},
    {"speakred", 22050, 16, 966, true},
    {"speakgreen", 22050, 16, 947, true},
    {"speakblue", 22050, 16, 866, true},
    {"speakyellow", 22050, 16, 1007, true},
    {"speakpurple", 22050, 16, 986, true},
    {"speakcyan", 22050, 16, 939, true},
    {"speakallsixwalls", 22050, 16, 1456, true},
    {"speakzeroobstructions", 22050, 16, 1608, true},
    {"speakshowrighthand", 22050, 16, 1547, true},
    {"speakshowhyphenhead", 22050, 16, 1105, true},
    {"speakecho", 22050, 16, 964, true},
    {"speaksky", 22050, 16, 1031, true},
    {"speakwhitherwander", 22050, 16, 1199, true},
    {"speakfreezemotionenter", 22050, 16, 3033, true},
    {"speakincomplete", 22050, 16, 1302, true},
    {"speakmainmenu", 22050, 16, 1256, true},
};

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// -- Reading a WAVE file --
struct Wave {
    bool valid = false;
    std::string problem;
    int format = 0, channels = 0, rate = 0, byte_rate = 0, block_align = 0, bits = 0;
    std::vector<double> samples;  // -1..1
};

std::uint32_t Read32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t Read16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

Wave ReadWave(const unsigned char* bytes, std::size_t size) {
    Wave wave;
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        wave.problem = "not a RIFF WAVE file";
        return wave;
    }
    if (Read32(bytes + 4) + 8 != size) {
        wave.problem = "RIFF size does not match the file";
        return wave;
    }
    bool have_format = false;
    std::size_t at = 12;
    while (at + 8 <= size) {
        std::uint32_t chunk_size = Read32(bytes + at + 4);
        const unsigned char* body = bytes + at + 8;
        if (at + 8 + chunk_size > size) {
            wave.problem = "chunk runs past the end";
            return wave;
        }
        if (std::memcmp(bytes + at, "fmt ", 4) == 0 && chunk_size >= 16) {
            wave.format = Read16(body);
            wave.channels = Read16(body + 2);
            wave.rate = static_cast<int>(Read32(body + 4));
            wave.byte_rate = static_cast<int>(Read32(body + 8));
            wave.block_align = Read16(body + 12);
            wave.bits = Read16(body + 14);
            have_format = true;
        } else if (std::memcmp(bytes + at, "data", 4) == 0) {
            if (!have_format || (wave.bits != 8 && wave.bits != 16)) {
                wave.problem = "data before a usable fmt chunk";
                return wave;
            }
            std::size_t count = chunk_size / (wave.bits / 8);
            for (std::size_t i = 0; i < count; ++i) {
                if (wave.bits == 8) {
                    wave.samples.push_back((body[i] - 128) / 128.0);
                } else {
                    wave.samples.push_back(static_cast<std::int16_t>(Read16(body + 2 * i)) / 32768.0);
                }
            }
            wave.valid = true;
        }
        at += 8 + chunk_size + (chunk_size & 1);  // chunks are padded to even sizes
    }
    if (!wave.valid) wave.problem = "no data chunk";
    return wave;
}

double Rms(const std::vector<double>& samples, std::size_t from, std::size_t count) {
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i) sum += samples[i] * samples[i];
    return count ? std::sqrt(sum / count) : 0;
}

double Peak(const std::vector<double>& samples, std::size_t from, std::size_t count) {
    double peak = 0;
    for (std::size_t i = from; i < from + count; ++i) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

// The loudest 50 ms stretch: a sound that is audible somewhere, whatever its
// length of trailing silence.
double LoudestRms(const Wave& wave) {
    std::size_t window = static_cast<std::size_t>(wave.rate / 20);
    double loudest = 0;
    for (std::size_t from = 0; from + window <= wave.samples.size(); from += window / 2) {
        loudest = std::max(loudest, Rms(wave.samples, from, window));
    }
    return loudest;
}

// -- Every cue of the table, as embedded --

TEST(EmbeddedCues, ExactlyTheCuesOfTheTableAreEmbedded) {
    std::set<std::string> expected;
    for (const CueRow& row : kCueTable) expected.insert(Upper(row.name));
    std::set<std::string> embedded;
    for (const platform::EmbeddedCue* cue : platform::EmbeddedCues()) embedded.insert(cue->name);
    EXPECT_EQ(embedded, expected);
    EXPECT_EQ(platform::EmbeddedCues().size(), std::size(kCueTable));
}

TEST(EmbeddedCues, EachIsMonoPcmWithTheRateBitsAndLengthOfItsRow) {
    for (const CueRow& row : kCueTable) {
        SCOPED_TRACE(row.name);
        const platform::EmbeddedCue* cue = platform::FindEmbeddedCue(row.name);
        ASSERT_NE(cue, nullptr);
        EXPECT_EQ(cue->name, Upper(row.name));
        Wave wave = ReadWave(cue->bytes, cue->size);
        ASSERT_TRUE(wave.valid) << wave.problem;
        EXPECT_EQ(wave.format, 1);  // uncompressed PCM
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.rate, row.rate);
        EXPECT_EQ(wave.bits, row.bits);
        EXPECT_EQ(wave.block_align, row.bits / 8);
        EXPECT_EQ(wave.byte_rate, row.rate * row.bits / 8);
        // Length = data size over byte rate, to the sample.
        std::int64_t expected_samples = RoundHalfEven(row.length_ms / 1000.0 * row.rate);
        EXPECT_EQ(static_cast<std::int64_t>(wave.samples.size()), expected_samples);
    }
}

TEST(EmbeddedCues, EachIsAudibleAndEndsInSilence) {
    for (const CueRow& row : kCueTable) {
        SCOPED_TRACE(row.name);
        const platform::EmbeddedCue* cue = platform::FindEmbeddedCue(row.name);
        ASSERT_NE(cue, nullptr);
        Wave wave = ReadWave(cue->bytes, cue->size);
        ASSERT_TRUE(wave.valid) << wave.problem;
        // Speech is spoken loud and for a good part of the cue; effects may be
        // short but must sound.
        EXPECT_GT(LoudestRms(wave), row.speech ? 0.15 : 0.1);
        EXPECT_GT(Rms(wave.samples, 0, wave.samples.size()), row.speech ? 0.05 : 0.01);
        EXPECT_LT(Peak(wave.samples, 0, wave.samples.size()), 1.0);  // not clipped
        // The last 20 ms are quiet: nothing was cut off to fit the length.
        std::size_t tail = static_cast<std::size_t>(row.rate / 50);
        EXPECT_LT(Peak(wave.samples, wave.samples.size() - tail, tail), 0.01);
    }
}

TEST(EmbeddedCues, TheDefaultAlertIsAShortAudibleRecordingOfItsOwn) {
    const platform::EmbeddedCue& alert = platform::EmbeddedDefaultAlert();
    Wave wave = ReadWave(alert.bytes, alert.size);
    ASSERT_TRUE(wave.valid) << wave.problem;
    EXPECT_EQ(wave.format, 1);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_LT(static_cast<double>(wave.samples.size()) / wave.rate, 0.5);
    EXPECT_GT(LoudestRms(wave), 0.1);
    // It answers to no cue name: only a failed lookup reaches it.
    EXPECT_EQ(platform::FindEmbeddedCue(alert.name), nullptr);
}

// -- Lookup --

TEST(CueLookup, IgnoresLetterCaseAndNeedsTheWholeName) {
    const platform::EmbeddedCue* cue = platform::FindEmbeddedCue("speakpu");
    ASSERT_NE(cue, nullptr);
    EXPECT_EQ(platform::FindEmbeddedCue("SPEAKPU"), cue);
    EXPECT_EQ(platform::FindEmbeddedCue("SpeakPu"), cue);
    EXPECT_EQ(platform::FindEmbeddedCue("sPEAKpU"), cue);
    EXPECT_NE(platform::FindEmbeddedCue("speakpd"), cue);
    EXPECT_EQ(platform::FindEmbeddedCue("speakp"), nullptr);
    EXPECT_EQ(platform::FindEmbeddedCue("speakpux"), nullptr);
    EXPECT_EQ(platform::FindEmbeddedCue(" speakpu"), nullptr);
    EXPECT_EQ(platform::FindEmbeddedCue(""), nullptr);
}

TEST(CueLookup, TheQuitCueHasNoRecording) {
    EXPECT_EQ(platform::FindEmbeddedCue("speakquit"), nullptr);
    EXPECT_EQ(platform::FindEmbeddedCue("SPEAKQUIT"), nullptr);
}

}  // namespace
