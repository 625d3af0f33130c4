#include "app/note_id.h"

#include <gtest/gtest.h>

TEST(NoteId, PathIsPlainConcatenation) {
    EXPECT_EQ(notePath("wxid_abc"), "D:\\ROZI\\wxid_abc.txt");
    EXPECT_EQ(notePath(""), "D:\\ROZI\\.txt");
}

TEST(NoteId, OnlySingleSafeFileNamesAreUsable) {
    struct Case { Text id; bool safe; };
    const Case cases[] = {
        {"wxid_k2x9", true},
        {"Alice-88", true},
        {"\xD5\xC5\xC8\xFD", true},         // 张三
        {"\xD3\x5C", true},                 // a character whose trail byte is '\'
        {"a.b", true},
        {Text(64, 'a'), true},
        {Text(65, 'a'), false},
        {"", false},
        {".", false},
        {"..", false},
        {"..\\x", false},
        {"a/b", false},
        {"a\\b", false},
        {"C:x", false},
        {"a*", false}, {"a?", false}, {"a\"b", false}, {"<a>", false}, {"a|b", false},
        {"a\tb", false}, {Text("a\0b", 3), false}, {"a\x7F", false},
        {"name.", false},
        {"name ", false},
        {"CON", false}, {"con", false}, {"Nul.txt", false}, {"COM1", false}, {"lpt9.x", false},
        {"COM0", true}, {"CONSOLE", true}, {"COM10", true},
        {"ab\xD5", false},                  // ends inside a character
    };
    for (const Case& c : cases) EXPECT_EQ(isSafeNoteId(c.id), c.safe) << c.id;
}
