#pragma once

// Lets queued events and timers run for the given time.
void pumpEvents(int milliseconds);
