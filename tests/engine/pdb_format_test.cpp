// The independent builder and reader that the other cases rely on: they must
// agree with each other and with the byte tables written out by hand.
#include "pdb_format.h"
#include "sample_db.h"

#include <gtest/gtest.h>

namespace quorvil::pdbtest {
namespace {

TEST(PdbFormat, the_reader_reads_what_the_builder_wrote_and_rejects_what_no_writer_writes)
{
    for (int layout = 0; layout <= 3; ++layout) {
        Database d = SampleDatabase(layout);
        d.records[1].attributes = 0x80;
        BuildOptions options;
        options.baseOffset = 5;
        EXPECT_EQ(Parse(Build(d, options), 5, layout == 2).db, d) << layout;
    }
    Bytes image = Build(WideDatabase(1, 2));
    Bytes badLength = image;
    WriteU16(badLength, ReadU32(image, 78), 9);
    EXPECT_THROW(Parse(badLength), FormatError);
    Bytes badCreator = image;
    badCreator[64] = 'X';
    EXPECT_THROW(Parse(badCreator), FormatError);
    EXPECT_THROW(Parse(Bytes(image.begin(), image.end() - 1)), FormatError);
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
    EXPECT_EQ(ReadU16(image, 34), 0x0102);
    EXPECT_EQ(std::string(image.begin() + 60, image.begin() + 68), "JfDbJFil");
    EXPECT_EQ(ReadU16(image, 76), 1);
    EXPECT_EQ(ReadU32(image, 52), 88u);  // 78 + 8 + 2
    EXPECT_EQ(image[78 + 4], 0x40);
    const size_t block = 88;
    EXPECT_EQ(std::string(image.begin() + block, image.begin() + block + 21), "Name" + std::string(17, '\0'));
    EXPECT_EQ(ReadU16(image, block + 1050), kString);
    EXPECT_EQ(ReadU16(image, block + 1150), 1);
    EXPECT_EQ(ReadU16(image, block + 1152), 576);
    EXPECT_EQ(ReadU16(image, block + 1154), 0x0050);
    const size_t chunks = block + 1702;
    EXPECT_EQ(std::string(image.begin() + long(chunks), image.end()),
              std::string("\0\0\0\0EndJFileData\0\0\0\3ab\0", 23));
    EXPECT_EQ(ReadU32(image, 78), chunks + 18);
}

}  // namespace
}  // namespace quorvil::pdbtest
