#pragma once

namespace qmx {

// The reading is drawn at 72 points, 96 pixels high, four times a second. Qt keeps glyphs
// in its cache only up to 64 pixels and draws larger text from the font's outlines on
// every paint, which took most of the program's time. This raises that limit for the
// display's sizes, unless the user set one. Call before the application object is made.
void CacheLargeGlyphs();

} // namespace qmx
