#include "disc_id.h"
#include "file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_files.h"

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using testkit::TempDir;
using testkit::WriteText;

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

TEST(DiscIdTest, id_covers_label_names_and_sizes_of_vob_files_and_the_search_prefers_the_remembered_volume)
{
    TempDir dir, other, none;
    WriteText(dir / "VIDEO_TS", "a file, not a directory");
    EXPECT_EQ(DiscId(dir.Path()), 0u);
    fs::remove(dir / "VIDEO_TS");
    const std::string videoTs = dir / "video_ts";
    fs::create_directory(videoTs);
    WriteText(videoTs + "/odd name-1.Vob", "12345");
    WriteText(videoTs + "/VTS_01_0.IFO", "not a video object");
    fs::create_directory(videoTs + "/folder.vob");
    const std::string fed = VolumeLabel(dir.Path()) + "ODDNAME1.VOB" + std::string("\5\0\0\0", 4);
    EXPECT_EQ(DiscId(dir.Path() + "/"), BitwiseCrc(0xFFFFFFFFu, fed));

    fs::create_directory(other / "Video_Ts");
    const std::vector<std::string> volumes = {other.Path(), none.Path(), dir.Path()};
    EXPECT_EQ(FindVideoDisc("", volumes), dir.Path());
    EXPECT_EQ(FindVideoDisc(other.Path(), volumes), other.Path());
    EXPECT_EQ(FindVideoDisc("", {none.Path()}), "");
}

}  // namespace
}  // namespace quorvil
