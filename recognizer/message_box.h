// The recognizer's message boxes.
//
// On Windows a message goes to a modal MessageBoxA with an OK button. A sink
// installed with setMessageSink receives it instead, on every platform; the
// tests record messages that way. Without a sink, host builds show nothing.
#pragma once

#include "common/text.h"

using MessageSink = void (*)(const Text& text, const Text& title);

// Installs sink (nullptr restores the default) and returns the previous one.
MessageSink setMessageSink(MessageSink sink);

// Shows text with title and returns once the box is closed. An empty title
// gives a box without one.
void showMessageBox(const Text& text, const Text& title);
