// Which WeChat IDs may name a note file, and the file each one names.
#pragma once

#include "common/text.h"

// The note folder, with its trailing backslash.
extern const char kNoteFolder[];

// "D:\ROZI\" + id + ".txt", byte for byte.
Text notePath(const Text& id);

// True when id is one safe file name: not empty, at most 64 bytes, no path
// separators, wildcards, quotes, pipes, colons or control bytes, not "." or
// "..", not ending in a dot or a blank, and not a reserved device name (CON,
// PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, also followed by an extension).
// Bytes are read with the double-byte rule, so the trail byte of a Chinese
// character is never mistaken for a separator.
bool isSafeNoteId(const Text& id);
