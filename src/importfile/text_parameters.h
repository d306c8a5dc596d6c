#pragma once
// Which text parameters the IDE should convert. A program's strings are wide; an ANSI function's text
// input needs a converted copy ('p-ascii'). A wide input is passed by its address as it is, and so is
// every pointer that also takes an integer or means bytes rather than text: a converted copy would lose
// what it holds.

#include "text/text.h"

namespace korvane {

// Whether parameter `parameter` (its name as the declaration writes it) of `function` is ANSI text the
// function reads as text. False for parameters that also take an integer ID (resource names and types,
// MAKEINTRESOURCE, atoms: class names, window properties, structure type OIDs), binary data in a char
// buffer (sockets, buffers), input in any code page (MultiByteToWideChar), a position inside a string
// (CharPrev, CharNext) and lists of NUL-separated strings (dependencies, double-NUL 'zz' lists).
bool ConvertsAnsiText(TextView function, TextView parameter);

}  // namespace korvane
