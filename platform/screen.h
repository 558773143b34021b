#pragma once
// The reference surface. Text is measured while a page is recorded and drawn
// again when the page is played back, maybe on another machine or screen, so
// the engine takes the screen as 96 pixels per inch whatever the real screen
// says. Only the colour depth comes from the real screen.

// Pixels per inch of the reference surface: always 96.
int screenPixelsPerInch();

// Bits per pixel of the primary screen (24 when there is no screen, as on the
// offscreen platform or before the application object exists).
int screenColorDepth();
