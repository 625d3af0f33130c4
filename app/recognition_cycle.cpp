#include "app/recognition_cycle.h"

#include "app/docking.h"

void onScanTimer(NotePanel&) { weChatWindow = findWeChatWindow(); }
