#pragma once
// A second, independent writer and reader of JFile .PDB images, made from the
// byte tables of the format alone. It shares no code with the product, so a
// fault in the product's reader or writer cannot hide behind the same fault
// here. All numbers in the images are big-endian.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvil::pdbtest {

using Bytes = std::vector<uint8_t>;

// Field type codes as files store them.
constexpr uint16_t kNewField = 0;
constexpr uint16_t kString = 1;
constexpr uint16_t kBoolean = 2;
constexpr uint16_t kDate = 4;
constexpr uint16_t kInteger = 8;
constexpr uint16_t kList = 64;

constexpr size_t kHeaderSize = 78;
constexpr size_t kEntrySize = 8;

struct Field {
    std::string name;
    uint16_t type = kString;
    uint16_t width = 80;
    uint32_t extra1 = 0;  // table 1; 1 marks an international date in JFile 5.5
    uint32_t extra2 = 0;
    bool operator==(const Field&) const = default;
};

struct SavedSort {
    int slot = 1;  // 1..5, written as the letters "a".."e"
    std::string name;
    std::array<long, 3> fields{};
    bool operator==(const SavedSort&) const = default;
};

struct Filter {
    int slot = 1;
    std::string name;
    std::array<std::string, 5> values;  // empty values are written as "-*-"
    long word = 0;
    std::array<long, 5> codes{};  // as written in the file
    bool operator==(const Filter&) const = default;
};

struct Record {
    std::vector<std::string> cells;
    uint8_t attributes = 0x40;  // 0x80 marks a deleted record
    std::array<uint8_t, 3> uniqueId{};
    bool operator==(const Record&) const = default;
};

// One JFile database as its file holds it.
struct Database {
    // Header.
    std::string title = "Test";
    std::string creator;  // empty: the layout's own
    std::string dbType;   // empty: the layout's own
    uint16_t attributes = 8;
    uint16_t version = 1;
    uint32_t created = 0;
    uint32_t modified = 0;
    uint32_t backedUp = 0;
    uint32_t modificationNumber = 1;
    uint32_t sortInfoOffset = 0;
    std::array<uint8_t, 4> uniqueIdSeed{};
    std::array<uint8_t, 4> nextRecordListId{};

    // Application-info block. Layout 0 is JFile 3.x (564 bytes, 20 fields),
    // 1 Pro 4.x, 2 JFile 5.x and 3 JFile 5.5 (1702 bytes, 50 fields).
    int layout = 3;
    std::vector<Field> fields;
    std::optional<uint16_t> storedFieldCount;  // a count that differs from fields.size()
    std::optional<uint16_t> layoutTag;         // default: 452 for layout 0, else 576
    uint16_t displayWidth = 100;
    std::array<uint16_t, 3> sortFields{1, 2, 3};
    uint16_t findField = 1;
    uint16_t filterField = 1;
    std::string findText;
    std::string filterText;
    uint16_t flags = 0;
    uint16_t firstColumn = 1;
    std::array<uint8_t, 12> extraText{};  // JFile 3.x only

    // Chunk area. Sorts, defaults and filters exist in layouts 2 and 3.
    std::map<int, std::vector<std::string>> popups;  // field number -> values
    std::map<int, std::string> defaults;
    std::vector<SavedSort> sorts;
    std::vector<Filter> filters;

    // Records in record-list order, deleted ones included.
    std::vector<Record> records;

    bool operator==(const Database&) const = default;
};

// Offsets inside the application-info block of the two sizes.
struct BlockOffsets {
    size_t size, maxFields, types, count, tag, widths, display, sort, find, filter, findText, filterText, flags,
        firstColumn, extraText, table1, table2;
};
const BlockOffsets& OffsetsOf(int layout);

// How the builder lays the bytes out.
struct BuildOptions {
    uint32_t baseOffset = 0;        // bytes before the database (filled with 0xEE)
    size_t gapAfterRecordList = 2;  // zero bytes between record list and block
    // Replaces the generated chunks with these texts (terminator still added).
    std::optional<std::vector<std::string>> chunkTexts;
    bool recordsInReverse = false;  // record data stored last record first
};

// The file's layout details that a check of the byte rules needs.
struct Parsed {
    Database db;
    uint32_t appInfoOffset = 0;           // from the base
    std::vector<uint32_t> recordOffsets;  // from the base
    Bytes block;                          // the application-info block
    std::vector<std::string> chunkTexts;  // every text of the chunks
    Bytes afterChunks;                    // from the end of the chunks to the first record (or the end)
    size_t dataEnd = 0;                   // offset after the last byte of the last record
};

class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string DefaultCreator(int layout);
std::string DefaultDbType(int layout);

Bytes Build(const Database& db, const BuildOptions& options = {});
// One record's data: in layouts 1 to 3 a length per cell (its bytes and a
// NUL) first, then the cells each with its NUL.
Bytes RecordBytes(const std::vector<std::string>& cells, int layout);

// Reads an image strictly; throws FormatError for anything a correct writer
// would not produce. `layout2` reads a JFile 5.x creator as layout 2.
Parsed Parse(const Bytes& image, uint32_t baseOffset = 0, bool layout2 = false);

// Big-endian access for byte-rule checks.
uint16_t ReadU16(const Bytes& image, size_t offset);
uint32_t ReadU32(const Bytes& image, size_t offset);
void WriteU16(Bytes& image, size_t offset, uint16_t v);
void WriteU32(Bytes& image, size_t offset, uint32_t v);

std::ostream& operator<<(std::ostream& out, const Database& db);

}  // namespace quorvil::pdbtest
