#include "system_console.h"

namespace quorvil::sys {

void UseParentConsole() {}

}  // namespace quorvil::sys
