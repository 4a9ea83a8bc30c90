// The main window's shared state: initial values set when the window's unit starts.
#include "app/Unit1State.h"

Unit1State::Unit1State()
    : DownloadLines(kTableEntries), CaptureRecords(kTableEntries, std::array<char, 20>{}) {}
