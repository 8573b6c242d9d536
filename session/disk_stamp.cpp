#include "disk_stamp.h"

#include <filesystem>

namespace quorvil {

TDiskStamp DiskStampOf(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file(path);
    if (!fs::is_regular_file(file, ec))
        return {};
    const uintmax_t size = fs::file_size(file, ec);
    if (ec)
        return {};
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (ec)
        return {};
    return {true, uint64_t(size), int64_t(time.time_since_epoch().count())};
}

}  // namespace quorvil
