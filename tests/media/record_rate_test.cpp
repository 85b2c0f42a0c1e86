#include "media/record_rate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "media/avi_rate_patch.h"
#include "media/media_test_support.h"

namespace {

struct Packet {
    int64_t pos;  // file position before the packet
    int second;
    bool video;
};

// Replays a recording and returns the figures the video header gets.
MeasuredRate Replay(int start, const std::vector<Packet>& packets, int closeSecond, int64_t limit) {
    RecordFileState st;
    st.nStartSecond = start;
    for (const auto& p : packets) {
        NoteBeforeRecordPacket(st, p.pos, p.second, limit);
        (p.video ? st.nVideoPackets : st.nAudioPackets) += 1;
    }
    return FinalRecordRate(st, closeSecond);
}

std::vector<Packet> Uniform(int count, int start, int seconds, int64_t bytesEach) {
    std::vector<Packet> v;
    for (int i = 0; i < count; ++i) {
        v.push_back({kAviFirstRiffStart + i * bytesEach,
                     start + static_cast<int>(int64_t(i) * seconds / count), true});
    }
    return v;
}

}  // namespace

TEST(RecordRate, FramesOverSecondsAtTheClose) {
    // 600 s with 5400 pictures, all inside the first RIFF.
    MeasuredRate r = Replay(100, Uniform(5400, 100, 600, 1000), 700, kAviRiffLimit);
    ASSERT_TRUE(r.bValid);
    EXPECT_EQ(r.dwScale, 600u);
    EXPECT_EQ(r.dwRate, 5400u);
}

TEST(RecordRate, FiguresFreezeWhenTheFirstRiffEnds) {
    // 1 MB "RIFF limit" reached after 1500 s and 20000 pictures; the file
    // goes on for another 1000 s.
    const int64_t limit = 20000 * 50 - 1;
    auto packets = Uniform(40000, 0, 3000, 50);  // picture 20000 starts the next RIFF
    // Sound packets in between do not count as frames.
    packets.insert(packets.begin() + 100, Packet{packets[100].pos, packets[100].second, false});
    MeasuredRate r = Replay(0, packets, 2500, limit);
    ASSERT_TRUE(r.bValid);
    EXPECT_EQ(r.dwScale, 1500u);
    EXPECT_EQ(r.dwRate, 20000u);
}

TEST(RecordRate, NominalWhenNothingWasMeasured) {
    EXPECT_FALSE(Replay(5, Uniform(10, 5, 0, 100), 5, kAviRiffLimit).bValid);     // same second
    EXPECT_FALSE(Replay(5, {}, 50, kAviRiffLimit).bValid);                        // no picture
    EXPECT_FALSE(Replay(50, Uniform(10, 50, 0, 100), 40, kAviRiffLimit).bValid);  // clock behind
}

namespace {

void Le32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s.push_back(static_cast<char>(v >> (8 * i)));
    }
}

std::string Chunk(const std::string& id, const std::string& body) {
    std::string s = id;
    Le32(s, static_cast<uint32_t>(body.size()));
    s += body;
    if (body.size() & 1) {
        s.push_back('\0');
    }
    return s;
}

std::string List(const std::string& type, const std::string& body) {
    return Chunk("LIST", type + body);
}

std::string Strh(const std::string& fccType, uint32_t scale, uint32_t rate) {
    std::string s = fccType + "FMP4";
    Le32(s, 0);  // dwFlags
    Le32(s, 0);  // wPriority, wLanguage
    Le32(s, 0);  // dwInitialFrames
    Le32(s, scale);
    Le32(s, rate);
    for (int i = 0; i < 9; ++i) {
        Le32(s, 0x11111111);  // dwStart .. rcFrame
    }
    return Chunk("strh", s);
}

uint32_t ReadLe32At(const std::string& s, size_t pos) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(s[pos + i]);
    }
    return v;
}

std::string ReadFile(const std::string& path) {
    std::string s;
    FILE* f = std::fopen(path.c_str(), "rb");
    char buf[4096];
    size_t n;
    while (f != nullptr && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        s.append(buf, n);
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return s;
}

void WriteFile(const std::string& path, const std::string& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

}  // namespace

// The walker finds the video header wherever it lies: after an odd-sized
// chunk, after the audio stream's list, and it leaves audio headers alone.
TEST(AviRatePatch, RewritesOnlyVideoStreamHeaders) {
    ScopedTempDir dir;
    std::string avih = Chunk("avih", std::string(56, '\x22'));
    std::string junk = Chunk("JUNK", std::string(7, 'j'));  // odd: padded
    std::string audio =
        List("strl", Strh("auds", 576, 22050) + Chunk("strf", std::string(30, 'a')));
    std::string video = List("strl", Chunk("strd", "xyz") + Strh("vids", 1, 25));
    std::string hdrl = List("hdrl", avih + junk + audio + video);
    std::string movi = List("movi", Chunk("00dc", std::string(40, 'v')) + Strh("vids", 1, 25));
    std::string body = "AVI " + hdrl + movi + Chunk("idx1", std::string(16, 'i'));
    std::string file = "RIFF";
    Le32(file, static_cast<uint32_t>(body.size()));
    file += body;
    WriteFile("a.avi", file);

    EXPECT_EQ(PatchAviVideoRate("a.avi", 600, 5400), 1);
    std::string after = ReadFile("a.avi");
    ASSERT_EQ(after.size(), file.size());
    size_t vids = after.find("vids");
    size_t auds = after.find("auds");
    EXPECT_EQ(ReadLe32At(after, vids + 20), 600u);
    EXPECT_EQ(ReadLe32At(after, vids + 24), 5400u);
    EXPECT_EQ(ReadLe32At(after, auds + 20), 576u);
    EXPECT_EQ(ReadLe32At(after, auds + 24), 22050u);
    // Nothing else changed, also not the look-alike inside "movi".
    std::string expected = file;
    std::memcpy(&expected[vids + 20], &after[vids + 20], 8);
    EXPECT_EQ(after, expected);
}

TEST(AviRatePatch, RefusesWhatIsNotAnAviFile) {
    ScopedTempDir dir;
    EXPECT_EQ(PatchAviVideoRate("none.avi", 1, 1), -1);
    WriteFile("wave.wav", "RIFF\x04\x00\x00\x00WAVE");
    EXPECT_EQ(PatchAviVideoRate("wave.wav", 1, 1), -1);
    WriteFile("short.avi", "RIF");
    EXPECT_EQ(PatchAviVideoRate("short.avi", 1, 1), -1);
    // Cut short inside the headers (a crash): no header found, no damage.
    std::string file = "RIFF";
    Le32(file, 1000);
    file += "AVI " + std::string("LIST") + std::string("\xff\x00\x00\x00hdrlstrh", 12);
    WriteFile("cut.avi", file);
    EXPECT_EQ(PatchAviVideoRate("cut.avi", 1, 1), 0);
    EXPECT_EQ(ReadFile("cut.avi"), file);
}
