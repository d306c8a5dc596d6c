#pragma once
// Letter case by the system's own mapping, for every script it knows.

#include "text/text.h"

namespace korvane {

// `text` in upper case as the system maps it ('ÿ' -> 'Ÿ', Greek and Cyrillic included). The mapping is
// one UTF-16 unit for one, so the length never changes.
Text SystemUpperCase(TextView text);

}  // namespace korvane
