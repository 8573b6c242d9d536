// Reading a JFile database from its file image. Every count, offset and
// length is checked against the image: a damaged file gives an EInOutError or
// loads leniently (texts end at the end of the file), never an out-of-bounds
// read or an allocation the file cannot justify.
#include "byte_io.h"
#include "errors.h"
#include "jfile.h"
#include "load_damage.h"
#include "progress.h"

#include <charconv>
#include <cstring>
#include <optional>

namespace quorvil {

namespace {

// Reads a NUL-terminated text; keeps the first 32000 bytes, drops the rest.
// A text without its NUL ran into the end of the file: the reader is told.
std::string_view ReadCString(ByteReader& in)
{
    const uint8_t* start = in.Here();
    size_t remaining = in.Remaining();
    const void* nul = std::memchr(start, 0, remaining);
    if (!nul)
        in.MarkShort();
    size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - start) : remaining;
    in.Skip(nul ? len + 1 : len);
    return std::string_view(reinterpret_cast<const char*>(start), len < kMaxTextRead ? len : kMaxTextRead);
}

// A decimal number, 0 when the text is not one or does not fit in 32 bits
// (so that the filter codes' "+ 1" cannot overflow).
long ReadNumber(std::string_view text)
{
    int32_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last)
        return 0;
    return value;
}

int LetterToField(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a' + 1;
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A' + 27;
    throw EInOutError(std::string("Invalid Field Index: \"") + letter + "\"");
}

// A chunk header is a five-letter tag and one letter; the tag is returned.
bool IsChunkHeader(std::string_view text, TLayout layout, std::string_view& tag, char& letter)
{
    if (text.size() != 6)
        return false;
    tag = text.substr(0, 5);
    letter = text[5];
    if (tag == "popup")
        return true;
    return Facts(layout).SavedSettings && (tag == "soort" || tag == "deflt" || tag == "flllt");
}

std::string Cut255(std::string_view text)
{
    return std::string(text.substr(0, 255));
}

}  // namespace

bool ReadsAsChunkHeader(std::string_view text)
{
    std::string_view tag;
    char letter = 0;
    return IsChunkHeader(text, TLayout::JFile55, tag, letter);
}

void TJFILE::LoadFrom(TStream& stream)
{
    BaseOffset = uint32_t(stream.Position());
    // The warning names the file even before the Open helpers set FileName.
    const auto* file = dynamic_cast<const TFileStream*>(&stream);
    const std::string name = file ? file->FileName() : FileName;
    LoadImage(ImageSource == TImageSource::Map ? TFileImage::Map(stream) : TFileImage::Read(stream), name);
}

void TJFILE::LoadImage(std::unique_ptr<TFileImage> image, const std::string& name)
{
    loadWarning_.clear();
    loadDamage_ = {};
    ByteReader in(image->Data(), image->Size());
    LoadContainer(in);
    TLoadDamage damage;
    damage.FileBytes = in.Size();
    damage.Header = in.Size() < kPdbHeaderSize;
    // Entries of the record list whose eight bytes all lie within the file.
    const size_t listEntries = damage.Header ? 0 : (in.Size() - kPdbHeaderSize) / kRecHdrSize;
    damage.RecordList = RecordList.size() > listEntries;

    // A 5.x file has the creator of 5.5 and reads as 5.5.
    const std::optional<TLayout> layout = LayoutOfCreator(CreatorText());
    if (!layout)
        throw EInOutError("Not a JFile/JFile Pro database!");
    layout_ = *layout;

    appInfo_ = MakeAppInfo(layout_);
    filters_ = {};
    defaults_ = {};
    savedSorts_ = {};
    for (auto& list : popupLists_)
        list.reset();
    // The records of the old image go before it does.
    records_.clear();
    image_ = std::move(image);

    in.Seek(PdbHeader.AppInfoOffset);
    in.ClearShort();
    appInfo_->LoadFromStream(in);
    damage.FieldDefinitions = in.RanShort();
    Changed();
    if (FieldCount() > appInfo_->MaxFields())
        throw EInOutError("Invalid field count: " + std::to_string(FieldCount()) + " (this layout holds at most " +
                          std::to_string(appInfo_->MaxFields()) + " fields)");
    loaded_ = true;

    in.ClearShort();
    ReadChunks(in);
    damage.Chunks = in.RanShort();
    ReadRecords(in, listEntries, damage);
    if (image_->Cut())
        throw EInOutError("The file was cut short by another program while it was read.");
    damage.Records = int(records_.size());
    loadWarning_ = LoadWarningText(name, damage, layout_);
    loadDamage_ = damage;
    ResetTexts();
}

void TJFILE::ReadChunks(ByteReader& in)
{
    std::string_view tag;
    char letter = 0;
    for (;;) {
        if (!IsChunkHeader(ReadCString(in), layout_, tag, letter))
            break;
        if (tag == "popup") {
            int f = LetterToField(letter);
            // Fields 51 and 52 have no place in the model: their values are read and dropped.
            std::unique_ptr<TDATA> list = std::make_unique<TDATA>();
            std::vector<std::string_view> values;
            for (;;) {
                size_t mark = in.Position();
                std::string_view value = ReadCString(in);
                std::string_view t;
                char l;
                if (value.empty() || IsChunkHeader(value, layout_, t, l)) {
                    in.Seek(mark);
                    break;
                }
                if (values.size() < size_t(kMaxSlots))
                    values.push_back(value);
            }
            if (f <= kMaxSlots)
                popupLists_[size_t(f - 1)] = std::make_unique<TDATA>(values.data(), int(values.size()));
        } else if (tag == "deflt") {
            int f = LetterToField(letter);
            SetDefault(f, std::string(ReadCString(in)));
        } else {
            int s = letter - 'a' + 1;
            if (s < 1 || s > 5)
                continue;
            if (tag == "soort") {
                TSavedSort& sort = savedSorts_[size_t(s - 1)];
                sort.Name = Cut255(ReadCString(in));
                for (auto& field : sort.Fields)
                    field = uint16_t(ReadNumber(ReadCString(in)));
            } else {
                FilterRec rec;
                rec.FilterName = Cut255(ReadCString(in));
                for (auto& value : rec.FilterValues) {
                    std::string_view text = ReadCString(in);
                    value = text == "-*-" ? std::string() : Cut255(text);
                }
                rec.FilterWord = uint16_t(ReadNumber(ReadCString(in)));
                for (auto& code : rec.FilterCodes)
                    code = int8_t(ReadNumber(ReadCString(in)) + 1);
                SetFilter(s, rec);
            }
        }
    }
}

namespace {

// The fields of a record that do not all lie within the image (a damaged or
// cut file), as the lenient reader reads them: texts end at the end of the
// image, lengths the image lacks are 0.
void ReadCutRecord(ByteReader& in, int fields, std::string_view* texts)
{
    uint8_t lengths[2 * kMaxSlots] = {};
    in.ReadInto(lengths, size_t(fields) * 2);
    for (int i = 0; i < fields; ++i) {
        size_t length = GetU16BE(lengths + 2 * i);
        size_t available = length < in.Remaining() ? length : in.Remaining();
        const char* start = reinterpret_cast<const char*>(in.Here());
        const void* nul = std::memchr(start, 0, available);
        size_t len = nul ? size_t(static_cast<const char*>(nul) - start) : available;
        texts[i] = std::string_view(start, len < kMaxTextRead ? len : kMaxTextRead);
        in.Skip(length);
    }
}

// The bytes of a record in a length-table layout when its table and all its
// fields lie within the image; 0 when they do not.
size_t WholeRecordSize(const ByteReader& in, int fields)
{
    const size_t table = 2 * size_t(fields);
    if (in.Remaining() < table)
        return 0;
    size_t total = table;
    for (int i = 0; i < fields; ++i)
        total += GetU16BE(in.Here() + 2 * i);
    return total <= in.Remaining() ? total : 0;
}

}  // namespace

// Each record's extent is found and checked here; its texts are found in its
// bytes only when they are read. Records that the file lacks in part or whole
// (entries past `listEntries`, or data past the end) are counted in `damage`.
void TJFILE::ReadRecords(ByteReader& in, size_t listEntries, TLoadDamage& damage)
{
    const int fields = FieldCount();
    const bool lengthTable = Facts(layout_).LengthTable;
    std::vector<std::string_view> texts(static_cast<size_t>(fields));
    std::vector<REC_HDR> kept;
    kept.reserve(RecordList.size());
    records_.reserve(RecordList.size());
    // Records whose data overlap could make a small file claim gigabytes of
    // text, or make the reader scan the same bytes over and over; real files
    // give every record bytes of its own, so the bytes read stay within the file.
    size_t budget = in.Size();
    size_t index = 0;
    // A record's length table is the first of its bytes read, and would
    // stall on memory for each record: it is fetched some records ahead.
    constexpr size_t kAhead = 8;
    for (const REC_HDR& entry : RecordList) {
        ReportProgress(int(index) + 1, int(RecordList.size()));
        if (index + kAhead < RecordList.size())
            if (const uint8_t* ahead = in.At(RecordList[index + kAhead].DataOffset)) {
                PrefetchBytes(ahead);
                PrefetchBytes(ahead + 64);
            }
        const bool listed = index++ < listEntries;
        if (entry.RecAttributes & 0x80)
            continue;
        in.Seek(entry.DataOffset);
        const uint8_t* const start = in.Here();
        const size_t recordStart = in.Position();
        const size_t whole = lengthTable ? WholeRecordSize(in, fields) : 0;
        bool inFile = true;
        bool cut = false;
        if (!lengthTable) {
            in.ClearShort();
            for (int i = 0; i < fields; ++i)
                ReadCString(in);
            cut = in.RanShort();
        } else if (whole > 0 || fields == 0) {
            in.Skip(whole);
        } else {
            ReadCutRecord(in, fields, texts.data());
            inFile = false;
            cut = true;
        }
        // A record of no fields has no bytes: it may begin at the very end.
        if (!listed || entry.DataOffset > in.Size() || (fields > 0 && entry.DataOffset == in.Size()))
            ++damage.MissingRecords;
        else if (cut)
            ++damage.CutRecords;
        const size_t bytes = in.Position() - recordStart;
        if (bytes > budget)
            throw EInOutError("The file is damaged: its records overlap.");
        budget -= bytes;
        if (inFile)
            records_.push_back(
                TDATA::InFile(start, bytes, fields,
                              lengthTable ? TDATA::TFileFormat::LengthTable : TDATA::TFileFormat::NulTerminated));
        else
            records_.emplace_back(texts.data(), fields);
        kept.push_back(entry);
    }
    RecordList = std::move(kept);
    PdbHeader.RecordCount = uint16_t(records_.size());
}

}  // namespace quorvil
