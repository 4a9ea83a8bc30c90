// The session's own tick: the watchdog, the update's and the capture's time-outs, and a logger unplugged
// under an open port, noticed at once rather than by the silence watchdog.
#include "app/TForm1.h"

void TForm1::SessionTickTimer() {
    session_.Tick(vexa::session::Clock::now());
}
