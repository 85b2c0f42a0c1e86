#include "media/jpeg_still.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/media_test_support.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return data;
    }
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        data.insert(data.end(), buf, buf + n);
    }
    std::fclose(f);
    return data;
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // R, G, B per pixel
};

Decoded Decode(const std::vector<uint8_t>& jpeg) {
    Decoded d;
    tjhandle h = tjInitDecompress();
    int sub = 0, colors = 0;
    if (tjDecompressHeader3(h, jpeg.data(), jpeg.size(), &d.width, &d.height, &sub, &colors) == 0) {
        d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
        if (tjDecompress2(h, jpeg.data(), jpeg.size(), d.rgb.data(), d.width, 0, d.height, TJPF_RGB,
                          0) != 0) {
            d.rgb.clear();
        }
    }
    tjDestroy(h);
    return d;
}

// A picture with texture (so quality shows in the size): left half red,
// top rows white, the rest a pattern.
std::vector<uint8_t> TestPicture(int w, int h) {
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            uint8_t* p = &bgr[(static_cast<size_t>(r) * w + c) * 3];
            if (r < 16) {
                p[0] = p[1] = p[2] = 255;
            } else if (c < w / 2) {
                p[0] = 0, p[1] = 0, p[2] = 255;  // pure red
            } else {
                p[0] = static_cast<uint8_t>((c * 7) ^ (r * 3));
                p[1] = static_cast<uint8_t>(c + r);
                p[2] = static_cast<uint8_t>(r * 5);
            }
        }
    }
    return bgr;
}

std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    return names;
}

}  // namespace

TEST(JpegStill, QualityShowsInTheSizeAndThePictureIsUprightAndRed) {
    ScopedTempDir dir;
    auto pic = TestPicture(352, 288);
    int low = WriteJpegFile(pic.data(), 352, 288, "q10.jpg", 10);
    int high = WriteJpegFile(pic.data(), 352, 288, "q80.jpg", 80);
    ASSERT_GT(low, 0);
    EXPECT_GT(high, low);
    EXPECT_EQ(FileSize("q10.jpg"), low);
    EXPECT_EQ(FileSize("q80.jpg"), high);

    Decoded d = Decode(ReadBytes("q80.jpg"));
    ASSERT_EQ(d.width, 352);
    ASSERT_EQ(d.height, 288);
    ASSERT_FALSE(d.rgb.empty());
    auto at = [&](int r, int c) { return &d.rgb[(static_cast<size_t>(r) * 352 + c) * 3]; };
    // Upright: the white rows are at the top.
    EXPECT_GT(at(4, 100)[0], 240);
    EXPECT_GT(at(4, 100)[2], 240);
    // Red stays red.
    EXPECT_GT(at(150, 80)[0], 220);
    EXPECT_LT(at(150, 80)[1], 40);
    EXPECT_LT(at(150, 80)[2], 40);
    EXPECT_EQ(Listing(dir.path()).size(), 2u);  // no temporary files left
}

TEST(JpegStill, OnlyTheLowEightBitsOfTheQualityCount) {
    ScopedTempDir dir;
    auto pic = TestPicture(176, 144);
    ASSERT_GT(WriteJpegFile(pic.data(), 176, 144, "a.jpg", 10), 0);
    ASSERT_GT(WriteJpegFile(pic.data(), 176, 144, "b.jpg", 266), 0);
    EXPECT_EQ(ReadBytes("a.jpg"), ReadBytes("b.jpg"));
    // 256 leaves 0: the lowest quality the encoder has, still a file.
    EXPECT_GT(WriteJpegFile(pic.data(), 176, 144, "c.jpg", 256), 0);
}

// A file that cannot be written gives 0 and leaves nothing behind, also no
// partial file.
TEST(JpegStill, FailuresLeaveNoFile) {
    ScopedTempDir dir;
    auto pic = TestPicture(176, 144);
    EXPECT_EQ(WriteJpegFile(pic.data(), 176, 144, "missing/x.jpg", 50), 0);
    std::filesystem::create_directory("taken.jpg");  // the name is a folder
    EXPECT_EQ(WriteJpegFile(pic.data(), 176, 144, "taken.jpg", 50), 0);
    EXPECT_EQ(WriteJpegFile(nullptr, 176, 144, "n.jpg", 50), 0);
    EXPECT_EQ(WriteJpegFile(pic.data(), 0, 144, "n.jpg", 50), 0);
    EXPECT_EQ(WriteJpegFile(pic.data(), 176, 144, nullptr, 50), 0);
    auto names = Listing(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "taken.jpg");
    // A stored path of the mapped drive lands in its folder.
    EXPECT_GT(WriteJpegFile(pic.data(), 176, 144, "C:\\snap.jpg", 50), 0);
    EXPECT_TRUE(FileExists("snap.jpg"));
}
