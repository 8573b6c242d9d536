#pragma once
// The identifier of a DVD-Video disc: a CRC-32 over the volume label and the
// names and sizes of the video object files.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvil {

// The VIDEO_TS directory in the root `mountPoint` (any case), empty when none.
std::string VideoTsDirectory(const std::string& mountPoint);

// 0 when `mountPoint` has no VIDEO_TS directory. Otherwise the running CRC
// started at hex FFFFFFFF and fed with the volume label, then, for each
// ordinary file *.VOB (any case) in the order of the directory: its name
// upper-cased and reduced to ".", "0"-"9", "A"-"Z" and "_", then its size as
// four bytes, least significant first.
uint32_t DiscId(const std::string& mountPoint);

// The volume holding a DVD-Video disc: `remembered` when it still has a
// VIDEO_TS directory, otherwise the last of `volumes` that has one; empty
// when none does.
std::string FindVideoDisc(const std::string& remembered, const std::vector<std::string>& volumes);

}  // namespace quorvil
