#include "app/note_id.h"

#include <cstring>

const char kNoteFolder[] = "D:\\ROZI\\";

Text notePath(const Text& id) { return kNoteFolder + id + ".txt"; }

namespace {

constexpr size_t kMaxIdBytes = 64;

bool isReservedDeviceName(const Text& id) {
    // The device name is the part before the first dot.
    size_t dot = id.find('.');
    Text base = toUpperAscii(id.substr(0, dot));
    static const char* const names[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* name : names)
        if (base == name) return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0))
        return base[3] >= '1' && base[3] <= '9';
    return false;
}

}  // namespace

bool isSafeNoteId(const Text& id) {
    if (id.empty() || id.size() > kMaxIdBytes) return false;
    if (id == "." || id == "..") return false;
    size_t lastChar = 0;
    for (size_t i = 0; i < id.size(); i += charLengthAt(id, i)) {
        unsigned char b = static_cast<unsigned char>(id[i]);
        lastChar = i;
        if (isLeadByte(b)) {
            if (i + 1 >= id.size()) return false;  // a lead byte without its trail
            continue;
        }
        if (b < 0x20 || b == 0x7F) return false;
        if (std::strchr("\\/:*?\"<>|", b)) return false;
    }
    if (charLengthAt(id, lastChar) == 1 && (id[lastChar] == '.' || id[lastChar] == ' ')) return false;
    return !isReservedDeviceName(id);
}
