// The recognition cycle: once a second, look for WeChat's contact card.
#pragma once

class NotePanel;

// The scan timer's tick. For now it only keeps weChatWindow current; the
// card detection workers start from here.
void onScanTimer(NotePanel& panel);
