#include "database_charset.h"
#include "engine_helpers.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

// Western words with letters from the upper half of Windows-1252 (ü ß é è û
// Æ ø ñ Œ € ï ã), as a European address book holds them.
const char* const kWestern[] = {"M\xFCller",
                                "Stra\xDF\x65",
                                "caf\xE9",
                                "cr\xE8me br\xFBl\xE9\x65",
                                "\xC6r\xF8sk\xF8\x62ing",
                                "se\xF1or",
                                "\x8Cuvre",
                                "12,50 \x80",
                                "na\xEFve",
                                "S\xE3o Paulo"};

TEST(CharsetGuess, suggests_a_set_for_the_multi_byte_databases_only)
{
    const std::string samples = QUORVIL_SAMPLES_DIR;
    for (const char* name : {"AddressBook.PDB", "Inventory.PDB", "Projects.PDB"})
        EXPECT_EQ(GuessCharset(*Open(samples + "/" + name)), std::nullopt) << name;
    Rows rows;
    for (size_t r = 0; r < 1000; ++r)
        rows.push_back({kWestern[r % 10], std::string(kWestern[r * 7 % 10]) + " " + kWestern[r * 3 % 10], "plain"});
    EXPECT_EQ(GuessCharset(*MemoryDatabase({{"Name"}, {"Note"}, {"City"}}, rows)), std::nullopt);
    // Told by the whole file, and by the cells alone under ASCII names.
    for (const pdbtest::CharsetSample& sample : pdbtest::CharsetSamples()) {
        const TCharset set = *CharsetByName(sample.set);
        const std::optional<TCharset> expected = IsMultiByte(set) ? std::optional(set) : std::nullopt;
        EXPECT_EQ(GuessCharset(*LoadImage(pdbtest::Build(pdbtest::CharsetDatabase(sample)))), expected) << sample.set;
        Rows cells(3, {"plain"});  // ASCII records first
        for (const auto& row : sample.records)
            cells.push_back({row[0].bytes, row[1].bytes, row[2].bytes});
        EXPECT_EQ(GuessCharset(*MemoryDatabase({{"A"}, {"B"}, {"C"}}, cells)), expected) << sample.set;
    }
}

}  // namespace
}  // namespace quorvil
