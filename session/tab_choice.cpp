#include "tab_choice.h"

#include <cstddef>

namespace quorvil {

TTabChoice ChooseTab(const std::vector<bool>& inUse, int active, bool activeSpared)
{
    for (std::size_t tab = 0; tab < inUse.size(); ++tab)
        if (!inUse[tab])
            return {int(tab), false};
    if (activeSpared || active < 0 || std::size_t(active) >= inUse.size())
        return {};
    return {active, true};
}

}  // namespace quorvil
