#include "recognizer/message_box.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::atomic<MessageSink> gMessageSink{nullptr};

}  // namespace

MessageSink setMessageSink(MessageSink sink) { return gMessageSink.exchange(sink); }

void showMessageBox(const Text& text, const Text& title) {
    MessageSink sink = gMessageSink.load();
    if (sink) {
        sink(text, title);
        return;
    }
#ifdef _WIN32
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK);
#endif
}
