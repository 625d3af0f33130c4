// Whole-file reads and writes of note files, safe against crashes and races.
#pragma once

#include "common/text.h"

// PathFileExistsA returned exactly 1 (a folder of that name counts too).
bool noteExists(const Text& path);

// Creates the note folder when it is missing. True when it exists afterwards.
bool ensureNoteFolder();

// Reads the whole file, letting others read but not write meanwhile. A file
// that cannot be opened or is empty reads as no bytes (false for the former).
bool readWholeFile(const Text& path, Bytes& contents);

// Replaces the file's content in one step: the bytes go to a temporary file
// in the same folder, are flushed, and the temporary file then replaces the
// target (MoveFileEx, replace-existing, write-through). On any failure the
// old file is left as it was and false is returned.
bool replaceFileContents(const Text& path, const Bytes& contents);

// Creates an empty file only when none exists; never truncates. True when
// the file exists afterwards.
bool createFileIfMissing(const Text& path);
