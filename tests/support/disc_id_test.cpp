#include "disc_id.h"
#include "file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support_test_util.h"

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteText;

// Bit by bit, independent of the table the product uses.
uint32_t BitwiseCrc(uint32_t reg, std::string_view bytes)
{
    for (unsigned char b : bytes) {
        reg ^= b;
        for (int k = 0; k < 8; ++k)
            reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
    }
    return reg;
}

TEST(DiscIdTest, IdCoversLabelAndTheNamesAndSizesOfVobFilesInAnyCase)
{
    ScratchDir dir;
    WriteText(dir / "VIDEO_TS", "a file, not a directory");
    EXPECT_EQ(DiscId(dir.Path()), 0u);
    std::filesystem::remove(dir / "VIDEO_TS");
    const std::string videoTs = dir / "video_ts";
    fs::create_directory(videoTs);
    // File name -> size, and the name as it enters the identifier.
    const std::map<std::string, std::pair<uint64_t, std::string>> vobs = {
        {"vts_01_1.vob", {10, "VTS_01_1.VOB"}},
        {"odd name-1.Vob", {5, "ODDNAME1.VOB"}},
        {"big.vob", {0x100000005ull, "BIG.VOB"}},  // sizes enter with their low four bytes
    };
    for (const auto& [name, entry] : vobs) {
        WriteText(videoTs + "/" + name, "");
        fs::resize_file(videoTs + "/" + name, entry.first);
    }
    WriteText(videoTs + "/VTS_01_0.IFO", "not a video object");
    fs::create_directory(videoTs + "/folder.vob");

    uint32_t expected = BitwiseCrc(0xFFFFFFFFu, VolumeLabel(dir.Path()));
    for (const auto& entry : fs::directory_iterator(videoTs)) {
        const auto found = vobs.find(entry.path().filename().string());
        if (found == vobs.end())
            continue;
        std::string size;
        for (int shift = 0; shift < 32; shift += 8)
            size += char((found->second.first >> shift) & 0xFF);
        expected = BitwiseCrc(expected, found->second.second + size);
    }
    EXPECT_EQ(DiscId(dir.Path() + "/"), expected);
}

TEST(DiscIdTest, SearchPrefersTheRememberedVolumeThenTakesTheLastWithVideoTs)
{
    ScratchDir a, b, c;
    fs::create_directory(a / "VIDEO_TS");
    EXPECT_EQ(DiscId(b.Path()), 0u);
    fs::create_directory(c / "Video_Ts");
    const std::vector<std::string> volumes = {a.Path(), b.Path(), c.Path()};
    EXPECT_EQ(FindVideoDisc("", volumes), c.Path());
    EXPECT_EQ(FindVideoDisc(a.Path(), volumes), a.Path());
    EXPECT_EQ(FindVideoDisc("", {b.Path()}), "");
}

}  // namespace
}  // namespace quorvil
