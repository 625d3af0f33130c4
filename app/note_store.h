// Contact notes: one text file per WeChat ID in D:\ROZI\, shown in the panel.
//
// The panel's NoteSession remembers which ID the note box's text belongs to
// and what was last loaded or saved, so that a reload of the note already
// shown leaves the user's typing alone, and edits about to be replaced are
// first saved to their own ID's file.
#pragma once

#include "app/note_panel.h"
#include "common/text.h"

// Writes the note box's text to the file of id, replacing it in one step.
// False when nothing was written (unusable ID, folder or file trouble).
bool saveNote(NotePanel& panel, const Text& id);

// Shows id's note: the ID box gets id, the note box the file's text exactly
// as stored. A reload of the note already shown changes nothing. Any thread.
void loadNote(NotePanel& panel, const Text& id);

// Creates id's file empty when it does not exist yet. Any thread; the panel
// is not touched.
void createEmptyNote(const Text& id);

// The save button: save, then count down 5..1 on the caption, a second each,
// reporting success or failure, then back to "保存备注".
void onSaveClicked(NotePanel& panel);

// Every change of the ID box, typed or written: empties the note box, first
// saving edits not yet saved to the ID they were typed under.
void onIdBoxChanged(NotePanel& panel);
