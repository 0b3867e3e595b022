#pragma once
// The UI texts the program carries built in, in English.
#include <QStringList>

namespace workspace {

// The 2400 built-in English texts in index order (index 0 first). Reserved indexes hold a
// single blank. The list is built on first use and never changes afterwards.
const QStringList& builtinEnglishTexts();

} // namespace workspace
