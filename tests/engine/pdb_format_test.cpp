// The independent builder and reader that the other cases rely on: they must
// agree with each other and with the byte tables written out by hand.
#include "pdb_format.h"
#include "sample_db.h"

#include <gtest/gtest.h>

namespace quorvil::pdbtest {
namespace {

TEST(PdbFormat, the_reader_rejects_what_no_writer_writes)
{
    Bytes image = Build(WideDatabase(1, 2));
    Bytes badLength = image, badCreator = image;
    WriteU16(badLength, ReadU32(image, 78), 9);
    badCreator[64] = 'X';
    for (const Bytes& bad : {badLength, badCreator, Bytes(image.begin(), image.end() - 1)})
        EXPECT_THROW(Parse(bad), FormatError);
}

TEST(PdbFormat, a_small_pro_4x_file_has_the_bytes_of_the_tables)
{
    Database d;
    d.layout = 1;
    d.title = "T";
    d.version = 0x0102;
    d.fields = {{"Name", kString, 0x0050}};
    d.records = {{{"ab"}}};
    Bytes image = Build(d);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 2), std::string("T\0", 2));
    EXPECT_EQ(std::string(image.begin() + 60, image.begin() + 68), "JfDbJFil");
    const size_t block = 88;  // 78 + 8 + 2
    EXPECT_EQ(std::tuple(ReadU16(image, 34), ReadU16(image, 76), ReadU32(image, 52), image[78 + 4]),
              std::tuple(0x0102, 1, block, 0x40));
    EXPECT_EQ(std::string(image.begin() + block, image.begin() + block + 21), "Name" + std::string(17, '\0'));
    EXPECT_EQ(std::tuple(ReadU16(image, block + 1050), ReadU16(image, block + 1150), ReadU16(image, block + 1152),
                         ReadU16(image, block + 1154)),
              std::tuple(kString, 1, 576, 0x0050));
    const size_t chunks = block + 1702;
    EXPECT_EQ(std::string(image.begin() + long(chunks), image.end()),
              std::string("\0\0\0\0EndJFileData\0\0\0\3ab\0", 23));
    EXPECT_EQ(ReadU32(image, 78), chunks + 18);
}

}  // namespace
}  // namespace quorvil::pdbtest
