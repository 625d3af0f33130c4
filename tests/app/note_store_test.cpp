#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/note_id.h"
#include "app/note_store.h"
#include "tests/app/panel_fixture.h"

namespace {

// Runs work on a worker thread while the panel's thread keeps handling events.
template <typename Work>
void onWorker(Work work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) waitProcessingEvents(5);
    worker.join();
}

// Records the save button's captions as they change during a countdown.
std::vector<Text>* recordedCaptions = nullptr;
HWND recordedButton = nullptr;
void CALLBACK recordCaption(HWND, UINT, UINT_PTR, DWORD) {
    char buffer[64] = {};
    GetWindowTextA(recordedButton, buffer, sizeof buffer);
    if (recordedCaptions->empty() || recordedCaptions->back() != buffer) recordedCaptions->push_back(buffer);
}

std::vector<Text> captionsOfOneClick(NotePanel& panel) {
    std::vector<Text> captions;
    recordedCaptions = &captions;
    recordedButton = panel.saveButton();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, recordCaption);
    SendMessageA(panel.saveButton(), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
    recordCaption(nullptr, 0, 0, 0);
    return captions;
}

std::vector<Text> countdown(const char* word) {
    std::vector<Text> captions;
    for (int n = 5; n >= 1; --n) captions.push_back(Text(word) + "(" + intToText(n) + ")");
    captions.push_back("保存备注");
    return captions;
}

}  // namespace

TEST_F(PanelTest, SaveWritesTheNoteBoxByteForByte) {
    const Text note = "\xB5\xDA\xD2\xBB\xD0\xD0\r\n\r\nlast line";  // 第一行, an empty line, last line
    panel.setIdText("wxid_1");
    panel.setNoteText(note);
    EXPECT_TRUE(saveNote(panel, "wxid_1"));
    EXPECT_EQ(fileText("D:\\ROZI\\wxid_1.txt"), note);  // GBK, CR LF, no BOM, no zero
    panel.setNoteText("");
    EXPECT_TRUE(saveNote(panel, "wxid_1"));
    EXPECT_EQ(fileText("D:\\ROZI\\wxid_1.txt"), "");
    EXPECT_EQ(countFiles("D:\\ROZI\\*"), 1);  // no temporary file left behind
}

TEST_F(PanelTest, LoadShowsTheFileExactlyAsStoredAndSaveKeepsIt) {
    writeFile("D:\\ROZI\\amy.txt", "a\r\nb");
    loadNote(panel, "amy");
    EXPECT_EQ(panel.idText(), "amy");
    EXPECT_EQ(panel.noteText(), "a\r\nb");
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(saveNote(panel, "amy"));
        panel.setIdText("someone-else");
        loadNote(panel, "amy");
    }
    EXPECT_EQ(fileText("D:\\ROZI\\amy.txt"), "a\r\nb");
    EXPECT_EQ(panel.noteText(), "a\r\nb");
}

TEST_F(PanelTest, LoadFromAWorkerThread) {
    writeFile("D:\\ROZI\\\xD5\xC5\xC8\xFD.txt", "\xB1\xB8\xD7\xA2\r\n");  // 张三: 备注
    panel.setNoteText("left over");
    onWorker([&] { loadNote(panel, "\xD5\xC5\xC8\xFD"); });
    EXPECT_EQ(panel.idText(), "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(panel.noteText(), "\xB1\xB8\xD7\xA2\r\n");
}

TEST_F(PanelTest, LoadShowsTextUpToAZeroByteAndAnEmptyBoxForMissingFiles) {
    CreateDirectoryA("D:\\ROZI", nullptr);
    Bytes withZero = {'o', 'k', 0, 'x'};
    ASSERT_TRUE(replaceFileContents("D:\\ROZI\\z.txt", withZero));
    loadNote(panel, "z");
    EXPECT_EQ(panel.noteText(), "ok");
    panel.setNoteText("typed");
    loadNote(panel, "nobody");
    EXPECT_EQ(panel.idText(), "nobody");
    EXPECT_EQ(panel.noteText(), "");
}

TEST_F(PanelTest, SaveButtonCountsDownAndTellsSuccessFromFailure) {
    panel.setIdText("wxid_ok");
    panel.setNoteText("hello");
    EXPECT_EQ(captionsOfOneClick(panel), countdown("保存成功"));
    EXPECT_EQ(fileText("D:\\ROZI\\wxid_ok.txt"), "hello");

    panel.setIdText("");  // no usable ID: nothing is written, and the button says so
    panel.setNoteText("lost?");
    EXPECT_EQ(captionsOfOneClick(panel), countdown("保存失败"));
    EXPECT_EQ(fileText("D:\\ROZI\\.txt"), "<missing>");
}

TEST_F(PanelTest, UnusableIdsReadAndWriteNothing) {
    writeFile("D:\\ROZI\\victim.txt", "keep");
    const Text unusable[] = {"", "..\\victim", "CON", "a:b", "x*", "dot.", Text(65, 'k')};
    for (const Text& id : unusable) {
        panel.setIdText("before");
        panel.setNoteText("text");
        EXPECT_FALSE(saveNote(panel, id)) << id;
        loadNote(panel, id);
        EXPECT_EQ(panel.idText(), "before") << id;
        EXPECT_EQ(panel.noteText(), "text") << id;
        createEmptyNote(id);
    }
    EXPECT_EQ(fileText("D:\\ROZI\\victim.txt"), "keep");
    EXPECT_EQ(fileText("D:\\victim.txt"), "<missing>");
    // Only the ID box's own rewrites saved the pending text, under "before".
    EXPECT_EQ(fileText("D:\\ROZI\\before.txt"), "text");
    EXPECT_EQ(countFiles("D:\\ROZI\\*"), 2);
}

TEST_F(PanelTest, ABackslashTrailByteIsPartOfTheName) {
    const Text id = "\xD3\x5C";  // one character whose second byte is '\'
    panel.setIdText(id);
    panel.setNoteText("n");
    EXPECT_TRUE(saveNote(panel, id));
    EXPECT_EQ(fileText("D:\\ROZI\\\xD3\x5C.txt"), "n");
}

TEST_F(PanelTest, SaveCreatesTheMissingFolderAndFailsOnALockedFile) {
    panel.setIdText("new");
    panel.setNoteText("first note");
    EXPECT_TRUE(saveNote(panel, "new"));  // D:\ROZI\ did not exist
    EXPECT_EQ(fileText("D:\\ROZI\\new.txt"), "first note");

    HANDLE lock = CreateFileA("D:\\ROZI\\new.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    panel.setNoteText("second note");
    EXPECT_FALSE(saveNote(panel, "new"));
    CloseHandle(lock);
    EXPECT_EQ(fileText("D:\\ROZI\\new.txt"), "first note");  // the old note is intact
    EXPECT_EQ(countFiles("D:\\ROZI\\*"), 1);                 // and no temporary file remains
}

TEST_F(PanelTest, CreateEmptyNeverTruncatesAndLeavesThePanelAlone) {
    panel.setIdText("shown");
    panel.setNoteText("typing");
    writeFile("D:\\ROZI\\saved.txt", "already saved");
    onWorker([] {
        createEmptyNote("saved");
        createEmptyNote("fresh");
    });
    EXPECT_EQ(fileText("D:\\ROZI\\saved.txt"), "already saved");
    EXPECT_EQ(fileText("D:\\ROZI\\fresh.txt"), "");
    EXPECT_EQ(panel.idText(), "shown");
    EXPECT_EQ(panel.noteText(), "typing");
    RemoveDirectoryA("D:\\ROZI");  // not empty: stays
    removeNoteFolder();
    createEmptyNote("again");  // the folder is made when missing
    EXPECT_EQ(fileText("D:\\ROZI\\again.txt"), "");
}

TEST_F(PanelTest, ReloadOfTheNoteShownKeepsTyping) {
    writeFile("D:\\ROZI\\kim.txt", "stored");
    onWorker([&] { loadNote(panel, "kim"); });
    SendMessageA(panel.noteBox(), EM_SETSEL, 6, 6);
    SendMessageA(panel.noteBox(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(" and typed"));
    onWorker([&] { loadNote(panel, "kim"); });  // the card stays open: the next cycle reloads
    EXPECT_EQ(panel.noteText(), "stored and typed");
    EXPECT_EQ(fileText("D:\\ROZI\\kim.txt"), "stored");

    ASSERT_TRUE(saveNote(panel, "kim"));
    onWorker([&] { loadNote(panel, "kim"); });
    EXPECT_EQ(panel.noteText(), "stored and typed");
}

TEST_F(PanelTest, EditsAboutToBeReplacedAreSavedUnderTheirOwnId) {
    writeFile("D:\\ROZI\\ann.txt", "ann's note");
    writeFile("D:\\ROZI\\ben.txt", "ben's note");
    loadNote(panel, "ann");
    SendMessageA(panel.noteBox(), EM_SETSEL, 0, 0);
    SendMessageA(panel.noteBox(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("edited "));
    onWorker([&] { loadNote(panel, "ben"); });  // another card opens before the user saved
    EXPECT_EQ(fileText("D:\\ROZI\\ann.txt"), "edited ann's note");
    EXPECT_EQ(panel.noteText(), "ben's note");

    // A keystroke in the ID box saves pending edits to the ID they were typed under.
    SendMessageA(panel.noteBox(), EM_SETSEL, 0, -1);
    SendMessageA(panel.noteBox(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("ben, rewritten"));
    SendMessageA(panel.idBox(), EM_SETSEL, 3, 3);
    SendMessageA(panel.idBox(), WM_CHAR, 'x', 1);
    EXPECT_EQ(panel.idText(), "benx");
    EXPECT_EQ(panel.noteText(), "");
    EXPECT_EQ(fileText("D:\\ROZI\\ben.txt"), "ben, rewritten");
    EXPECT_EQ(fileText("D:\\ROZI\\benx.txt"), "<missing>");

    // Unchanged notes are not rewritten, and nothing goes to an unusable ID.
    SendMessageA(panel.idBox(), WM_CHAR, '*', 1);
    EXPECT_EQ(countFiles("D:\\ROZI\\*"), 2);
}

TEST_F(PanelTest, TypedIdThenNoteThenLoadOfThatIdShowsTheSavedEdits) {
    panel.setIdText("dan");
    panel.setNoteText("typed before the card came");
    writeFile("D:\\ROZI\\dan.txt", "");
    onWorker([&] { loadNote(panel, "dan"); });
    EXPECT_EQ(fileText("D:\\ROZI\\dan.txt"), "typed before the card came");
    EXPECT_EQ(panel.noteText(), "typed before the card came");
}
