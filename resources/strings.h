// The string table.
#pragma once

namespace res {

// The string with that resource ID, or nullptr when the table has none.
const char* FindString(unsigned id);

} // namespace res
