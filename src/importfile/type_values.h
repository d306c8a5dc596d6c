#pragma once
// The constants and prototypes of an import file's type blocks (see type_model.h).

#include "importfile/type_model.h"

namespace korvane {

// The constants of the selection's headers, once per name (the IDE ignores letter case), none where two
// headers disagree on a name's value: a signed value
// in decimal, an unsigned one of 10 or more in hexadecimal at its C type's width, a string in quotes.
void AddConstants(const std::map<Text, std::vector<const CConstant*>>& byHeader, const TypeSelection& selection,
                  TypeBlocks& blocks);

// A Prototype for each selected callback name on one architecture; left out when a parameter has no
// equivalent of its size (a structure passed by value on x86).
void AddPrototypes(const CTypes& types, bool x86, const TypeSelection& selection, TypeBlocks& blocks);

}  // namespace korvane
