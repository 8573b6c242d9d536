#pragma once
// How blocks of lines (a table's rows, a record's card) flow onto pages:
// a block goes whole onto the page that has room for it, onto the next page
// when it does not fit and a page would hold it, and is split between lines
// only when it is taller than a page. No Qt: heights are plain numbers.
#include <functional>

namespace quorvil {

// Where a page begins: a block, and the line of it the page starts with
// (0 unless the block is split).
struct TFlowPoint {
    int Block = 0;
    int Line = 0;
    bool operator==(const TFlowPoint&) const = default;
};

struct TFlowMetrics {
    double Capacity = 0;    // the height a page has for blocks
    double LineHeight = 1;  // of every line
    double Extra = 0;       // added to each piece of a block on a page (its padding)
};

// Fills one page from `start` with the blocks [start.Block, count), each
// `linesOf(block)` lines high (at least 1), calling `place(block, firstLine,
// lines, top)` for each piece put on the page. Returns where the next page
// begins; {count, 0} when every block is placed. A page always takes at
// least one line, so the flow ends even on a page too small for a block.
TFlowPoint FillPage(TFlowPoint start, int count, const TFlowMetrics& metrics, const std::function<int(int)>& linesOf,
                    const std::function<void(int, int, int, double)>& place = {});

}  // namespace quorvil
