#pragma once
// The program's messages by number ("IDS_<n>"), language 1 Russian and 2 English.
#include <QString>

namespace Messages {

// Empty for a number the table does not hold; a language without a text gives the Russian one.
QString MessageText(int id, int language);

} // namespace Messages
