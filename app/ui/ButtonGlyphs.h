#pragma once
// The chord page's button pictures, drawn instead of looked up in the desktop's icon theme: the
// theme look-up reads the theme's folders and index, and cost the window's first appearance more
// than every control on the page together.
#include <QIcon>

namespace ButtonGlyphs {

enum class TGlyph { Back, Next, Sound, Copy };

// An icon of any size, in the palette's button-text colour (its disabled colour when disabled).
QIcon Icon(TGlyph glyph);

} // namespace ButtonGlyphs
