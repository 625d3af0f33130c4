#include "app/note_store.h"

#include "app/note_files.h"
#include "app/note_id.h"

namespace {

const char kSaveCaption[] = "保存备注";
const char kSavedCaption[] = "保存成功(";
const char kFailedCaption[] = "保存失败(";
constexpr int kCountdownSeconds = 5;

bool writeNote(const Text& id, const Text& note) {
    return isSafeNoteId(id) && ensureNoteFolder() && replaceFileContents(notePath(id), textToBytes(note));
}

}  // namespace

bool saveNote(NotePanel& panel, const Text& id) {
    Text note = panel.noteText();
    if (!writeNote(id, note)) return false;
    NoteSession& session = panel.notes;
    if (id == session.boxId) {
        session.baseline = note;
        session.showingStored = true;
    }
    return true;
}

void loadNote(NotePanel& panel, const Text& id) {
    if (!isSafeNoteId(id)) return;
    // One step on the panel's thread: deciding, writing the ID box (whose
    // handler may save pending edits, possibly to this very file) and reading
    // the file happen in that order with nothing in between.
    panel.runOnPanelThread([&] {
        NoteSession& session = panel.notes;
        if (session.showingStored && session.boxId == id && panel.idText() == id) return;
        panel.setIdText(id);
        Bytes contents;
        readWholeFile(notePath(id), contents);
        Text note = bytesToText(contents);
        if (!note.empty()) panel.appendNoteText(note);
        session.baseline = panel.noteText();
        session.showingStored = true;
    });
}

void createEmptyNote(const Text& id) {
    if (!isSafeNoteId(id) || !ensureNoteFolder()) return;
    createFileIfMissing(notePath(id));
}

void onSaveClicked(NotePanel& panel) {
    bool saved = saveNote(panel, panel.idText());
    for (int counter = kCountdownSeconds; counter >= 1; --counter) {
        panel.setSaveCaption((saved ? kSavedCaption : kFailedCaption) + intToText(counter) + ")");
        waitProcessingEvents(1000);
    }
    panel.setSaveCaption(kSaveCaption);
}

void onIdBoxChanged(NotePanel& panel) {
    NoteSession& session = panel.notes;
    Text note = panel.noteText();
    if (note != session.baseline) writeNote(session.boxId, note);
    panel.setNoteText(Text());
    session.boxId = panel.idText();
    session.baseline.clear();
    session.showingStored = false;
}
