// A live panel on the test's thread, and a clean note folder on the test's
// own drive D:.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "app/note_files.h"
#include "app/note_panel.h"
#include "common/text.h"

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeNoteFolder();
        ASSERT_TRUE(panel.create(GetModuleHandleA(nullptr), false));
    }
    void TearDown() override {
        panel.destroy();
        waitProcessingEvents(20);
    }

    static void removeNoteFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA("D:\\ROZI\\*", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                Text name = found.cFileName;
                if (name != "." && name != "..") {
                    Text path = "D:\\ROZI\\" + name;
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA("D:\\ROZI");
    }

    static void writeFile(const Text& path, const Text& contents) {
        CreateDirectoryA("D:\\ROZI", nullptr);
        ASSERT_TRUE(replaceFileContents(path, textToBytes(contents))) << path;
    }

    // The file's bytes, or "<missing>".
    static Text fileText(const Text& path) {
        Bytes bytes;
        if (!readWholeFile(path, bytes)) return "<missing>";
        return Text(bytes.begin(), bytes.end());
    }

    static int countFiles(const Text& pattern) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        int n = 0;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return n;
    }

    NotePanel panel;
};
