#include "print_flow.h"

#include <algorithm>
#include <cmath>

namespace quorvil {

namespace {

// A split leaves at least this many lines of a block on the page it starts
// on, so a tall block does not begin with a lone line at a page's foot.
constexpr int kMinSplitLines = 3;

}  // namespace

TFlowPoint FillPage(TFlowPoint start, int count, const TFlowMetrics& metrics, const std::function<int(int)>& linesOf,
                    const std::function<void(int, int, int, double)>& place)
{
    double top = 0;
    int block = start.Block;
    int line = start.Line;
    while (block < count) {
        const int lines = std::max(1, linesOf(block));
        const int left = lines - std::min(line, lines - 1);
        const double need = left * metrics.LineHeight + metrics.Extra;
        if (top + need <= metrics.Capacity) {
            if (place)
                place(block, lines - left, left, top);
            top += need;
            ++block;
            line = 0;
            continue;
        }
        // A block a whole page holds waits for the next page.
        const bool fitsAPage = lines * metrics.LineHeight + metrics.Extra <= metrics.Capacity;
        if (top > 0 && (line == 0 && fitsAPage))
            break;
        const int room = int(std::floor((metrics.Capacity - top - metrics.Extra) / metrics.LineHeight));
        if (top > 0 && room < std::min(kMinSplitLines, left))
            break;
        const int taken = std::clamp(room, 1, left);
        if (place)
            place(block, lines - left, taken, top);
        line = lines - left + taken;
        if (line >= lines) {  // the forced last line of a block
            ++block;
            line = 0;
        }
        break;
    }
    return {block, block < count ? line : 0};
}

}  // namespace quorvil
