#pragma once

#include <QString>

// Checks of the open-file dialog's filter handling on any text, used by selection_fuzz.
namespace fuzzfilter {

void checkFilterText(const QString& text);

}  // namespace fuzzfilter
