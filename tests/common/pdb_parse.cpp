// The strict reader of the independent format helpers: it accepts what a
// correct writer produces and names the first thing that is not.
#include "pdb_format.h"

#include <algorithm>

namespace quorvil::pdbtest {

namespace {

[[noreturn]] void Fail(const std::string& what, size_t at)
{
    throw FormatError(what + " (at byte " + std::to_string(at) + ")");
}

// Reads NUL-terminated texts, noting each one read in `log`; a text without
// its NUL is an error.
class Cursor {
public:
    Cursor(const Bytes& image, size_t pos, std::vector<std::string>* log = nullptr)
        : image_(image), pos_(pos), log_(log)
    {
    }

    std::string Peek() const
    {
        auto nul = std::find(image_.begin() + long(std::min(pos_, image_.size())), image_.end(), uint8_t(0));
        if (nul == image_.end())
            Fail("text without its NUL", pos_);
        return std::string(image_.begin() + long(pos_), nul);
    }
    std::string Text()
    {
        std::string text = Peek();
        pos_ += text.size() + 1;
        if (log_)
            log_->push_back(text);
        return text;
    }
    long Number()
    {
        size_t at = pos_;
        std::string text = Text();
        size_t digits = text.size() > 0 && text[0] == '-' ? 1 : 0;
        if (digits == text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos)
            Fail("\"" + text + "\" is not a decimal number", at);
        return std::stol(text);
    }
    size_t Position() const { return pos_; }

private:
    const Bytes& image_;
    size_t pos_;
    std::vector<std::string>* log_;
};

const char* const kTags[] = {"popup", "soort", "deflt", "flllt"};

bool IsHeader(const std::string& text, int layout)
{
    if (text.size() != 6)
        return false;
    for (int t = 0; t < (layout >= 2 ? 4 : 1); ++t)
        if (text.compare(0, 5, kTags[t]) == 0)
            return true;
    return false;
}

int FieldOfLetter(char c, size_t at)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 27;
    Fail(std::string("bad field letter ") + c, at);
}

int SlotOfLetter(char c, size_t at)
{
    if (c < 'a' || c > 'e')
        Fail(std::string("bad slot letter ") + c, at);
    return c - 'a' + 1;
}

std::string FixedText(const Bytes& image, size_t at, size_t room, const char* what)
{
    auto first = image.begin() + long(at);
    auto nul = std::find(first, first + long(room), uint8_t(0));
    if (nul == first + long(room))
        Fail(std::string(what) + " without its NUL", at);
    return std::string(first, nul);
}

void ParseHeader(const Bytes& image, size_t base, Database& db, bool layout2)
{
    if (image.size() < base + kHeaderSize)
        Fail("file shorter than its header", image.size());
    db.title = FixedText(image, base, 32, "title");
    if (std::any_of(image.begin() + long(base + db.title.size()), image.begin() + long(base + 32),
                    [](uint8_t b) { return b != 0; }))
        Fail("title not zero-filled", base);
    db.attributes = ReadU16(image, base + 32);
    db.version = ReadU16(image, base + 34);
    db.created = ReadU32(image, base + 36);
    db.modified = ReadU32(image, base + 40);
    db.backedUp = ReadU32(image, base + 44);
    db.modificationNumber = ReadU32(image, base + 48);
    db.sortInfoOffset = ReadU32(image, base + 56);
    db.dbType.assign(image.begin() + long(base + 60), image.begin() + long(base + 64));
    db.creator.assign(image.begin() + long(base + 64), image.begin() + long(base + 68));
    std::copy_n(image.begin() + long(base + 68), 4, db.uniqueIdSeed.begin());
    std::copy_n(image.begin() + long(base + 72), 4, db.nextRecordListId.begin());
    db.layout = db.creator == "JBas" ? 0 : db.creator == "JFil" ? 1 : db.creator == "JFi5" ? (layout2 ? 2 : 3) : -1;
    if (db.layout < 0)
        Fail("unknown creator \"" + db.creator + "\"", base + 64);
}

void ParseBlock(const Bytes& image, size_t at, Parsed& p)
{
    Database& db = p.db;
    const BlockOffsets& o = OffsetsOf(db.layout);
    if (image.size() < at + o.size)
        Fail("block past the end", at);
    p.block.assign(image.begin() + long(at), image.begin() + long(at + o.size));
    const Bytes& b = p.block;
    size_t fields = ReadU16(b, o.count);
    if (fields > o.maxFields)
        Fail("field count " + std::to_string(fields), at + o.count);
    db.fields.resize(fields);
    for (size_t i = 0; i < fields; ++i) {
        Field& f = db.fields[i];
        f.name = FixedText(b, i * 21, 21, "field name");
        f.type = ReadU16(b, o.types + 2 * i);
        f.width = ReadU16(b, o.widths + 2 * i);
        if (db.layout != 0) {
            f.extra1 = ReadU32(b, o.table1 + 4 * i);
            f.extra2 = ReadU32(b, o.table2 + 4 * i);
        }
    }
    db.layoutTag = ReadU16(b, o.tag);
    db.displayWidth = ReadU16(b, o.display);
    for (size_t k = 0; k < 3; ++k)
        db.sortFields[k] = ReadU16(b, o.sort + 2 * k);
    db.findField = ReadU16(b, o.find);
    db.filterField = ReadU16(b, o.filter);
    db.findText = FixedText(b, o.findText, 16, "find text");
    db.filterText = FixedText(b, o.filterText, 16, "filter text");
    db.flags = ReadU16(b, o.flags);
    db.firstColumn = ReadU16(b, o.firstColumn);
    if (db.layout == 0)
        std::copy_n(b.begin() + long(o.extraText), 12, db.extraText.begin());
}

void ParseChunk(Cursor& in, const std::string& header, size_t at, Database& db)
{
    const std::string tag = header.substr(0, 5);
    const char letter = header[5];
    if (tag == "popup") {
        std::vector<std::string>& values = db.popups[FieldOfLetter(letter, at)];
        values.clear();  // a second chunk for the field replaces the first
        for (std::string v = in.Peek(); !v.empty() && !IsHeader(v, db.layout); v = in.Peek())
            values.push_back(in.Text());
    } else if (tag == "deflt") {
        db.defaults[FieldOfLetter(letter, at)] = in.Text();
    } else if (tag == "soort") {
        SavedSort s{SlotOfLetter(letter, at), in.Text(), {}};
        for (long& f : s.fields)
            f = in.Number();
        db.sorts.push_back(s);
    } else {
        Filter f{SlotOfLetter(letter, at), in.Text(), {}, 0, {}};
        for (std::string& v : f.values)
            if ((v = in.Text()) == "-*-")
                v.clear();
        f.word = in.Number();
        for (long& c : f.codes)
            c = in.Number();
        db.filters.push_back(f);
    }
}

void ParseRecord(const Bytes& image, size_t base, size_t at, Parsed& p, Record& rec)
{
    const size_t count = p.db.fields.size();
    Cursor in(image, at + (p.db.layout == 0 ? 0 : 2 * count));
    for (size_t i = 0; i < count; ++i)
        rec.cells.push_back(in.Text());
    // The lengths in front of the texts must be the ones a writer gives them.
    const Bytes written = RecordBytes(rec.cells, p.db.layout);
    if (!std::equal(written.begin(), written.end(), image.begin() + long(at), image.begin() + long(in.Position())))
        Fail("field lengths that do not match their texts", at);
    p.dataEnd = std::max(p.dataEnd, in.Position() - base);
}

}  // namespace

Parsed Parse(const Bytes& image, uint32_t baseOffset, bool layout2)
{
    Parsed p;
    const size_t base = baseOffset;
    ParseHeader(image, base, p.db, layout2);
    const size_t count = ReadU16(image, base + 76);
    p.appInfoOffset = ReadU32(image, base + 52);
    p.db.records.resize(count);
    for (size_t r = 0; r < count; ++r) {
        size_t at = base + kHeaderSize + kEntrySize * r;
        if (at + kEntrySize > image.size())
            Fail("record list past the end", at);
        p.recordOffsets.push_back(ReadU32(image, at));
        p.db.records[r].attributes = image[at + 4];
        std::copy_n(image.begin() + long(at + 5), 3, p.db.records[r].uniqueId.begin());
    }
    ParseBlock(image, base + p.appInfoOffset, p);

    size_t chunks = base + p.appInfoOffset + p.block.size();
    Cursor in(image, chunks, &p.chunkTexts);
    for (;;) {
        size_t at = in.Position();
        if (at >= image.size() || !IsHeader(in.Peek(), p.db.layout))
            break;
        const std::string header = in.Text();
        ParseChunk(in, header, at, p.db);
    }
    size_t firstRecord = count ? base + *std::min_element(p.recordOffsets.begin(), p.recordOffsets.end())
                               : image.size();
    if (firstRecord < in.Position())
        Fail("records overlap the chunk area", firstRecord);
    p.afterChunks.assign(image.begin() + long(in.Position()), image.begin() + long(firstRecord));
    p.dataEnd = firstRecord - base;
    for (size_t r = 0; r < count; ++r)
        ParseRecord(image, base, base + p.recordOffsets[r], p, p.db.records[r]);
    return p;
}

std::ostream& operator<<(std::ostream& out, const Database& db)
{
    out << "{\"" << db.title << "\" layout " << db.layout << ", " << db.fields.size() << " fields, records [";
    for (const Record& r : db.records)
        out << " (\"" << (r.cells.empty() ? "" : r.cells[0].substr(0, 20)) << "\" ...)";
    return out << " ]}";
}

}  // namespace quorvil::pdbtest
