#include "disc_id.h"

#include <filesystem>

#include "crc.h"
#include "file_system.h"
#include "text_case.h"

namespace quorvil {

namespace fs = std::filesystem;

namespace {

std::string IdName(const std::string& fileName)
{
    std::string out;
    for (char c : UpperCase(fileName))
        if (c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            out += c;
    return out;
}

bool IsVobName(const std::string& fileName)
{
    return fileName.size() >= 4 && UpperCase(fileName.substr(fileName.size() - 4)) == ".VOB";
}

void FeedSize(uintmax_t size)
{
    for (int shift = 0; shift < 32; shift += 8)
        CrcByte(static_cast<uint8_t>(size >> shift));
}

}  // namespace

std::string VideoTsDirectory(const std::string& mountPoint)
{
    std::error_code ec;
    for (fs::directory_iterator it(mountPoint, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (UpperCase(it->path().filename().string()) == "VIDEO_TS" && it->is_directory(typeError))
            return it->path().string();
    }
    return {};
}

uint32_t DiscId(const std::string& mountPoint)
{
    const std::string videoTs = VideoTsDirectory(mountPoint);
    if (videoTs.empty())
        return 0;
    CrcStart(0xFFFFFFFFu);
    const std::string label = VolumeLabel(mountPoint);
    CrcBuffer(label.data(), label.size());
    std::error_code ec;
    for (fs::directory_iterator it(videoTs, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code fileError;
        if (!IsVobName(name) || !it->is_regular_file(fileError))
            continue;
        const uintmax_t size = it->file_size(fileError);
        if (fileError)
            continue;
        const std::string idName = IdName(name);
        CrcBuffer(idName.data(), idName.size());
        FeedSize(size);
    }
    return CrcValue();
}

std::string FindVideoDisc(const std::string& remembered, const std::vector<std::string>& volumes)
{
    if (!remembered.empty() && !VideoTsDirectory(remembered).empty())
        return remembered;
    std::string found;
    for (const std::string& volume : volumes)
        if (!VideoTsDirectory(volume).empty())
            found = volume;
    return found;
}

}  // namespace quorvil
