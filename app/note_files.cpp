#include "app/note_files.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/note_id.h"
#include "app/win32_handles.h"

bool noteExists(const Text& path) { return PathFileExistsA(path.c_str()) == 1; }

bool ensureNoteFolder() {
    if (CreateDirectoryA(kNoteFolder, nullptr)) return true;
    DWORD attributes = GetFileAttributesA(kNoteFolder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool readWholeFile(const Text& path, Bytes& contents) {
    contents.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > 0x40000000)
        return false;
    contents.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < contents.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), contents.data() + done, static_cast<DWORD>(contents.size() - done), &got,
                      nullptr)) {
            contents.clear();
            return false;
        }
        if (got == 0) break;  // the file shrank meanwhile
        done += got;
    }
    contents.resize(done);
    return true;
}

namespace {

bool writeAll(HANDLE file, const Bytes& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(contents.size() - done > 0x100000 ? 0x100000 : contents.size() - done);
        if (!WriteFile(file, contents.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// The folder part of a path, with its trailing backslash ("" when none).
Text folderOf(const Text& path) {
    int slash = findLastText(path, "\\");
    return slash > 0 ? path.substr(0, static_cast<size_t>(slash)) : Text();
}

}  // namespace

bool replaceFileContents(const Text& path, const Bytes& contents) {
    Text folder = folderOf(path);
    char temporary[MAX_PATH];
    // GetTempFileName creates the file, so the name is ours alone.
    if (folder.empty() || !GetTempFileNameA(folder.c_str(), "lb", 0, temporary)) return false;
    bool ok;
    {
        FileHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file.valid() && writeAll(file.get(), contents) && FlushFileBuffers(file.get());
        ok = file.close() && ok;
    }
    ok = ok && MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temporary);
    return ok;
}

bool createFileIfMissing(const Text& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (file.valid()) return file.close();
    return GetLastError() == ERROR_FILE_EXISTS;
}
