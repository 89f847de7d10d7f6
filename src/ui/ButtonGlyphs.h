// Small pictures drawn by the program itself: the glyphs of the message-dialog buttons and
// the 32x32 icons of the dialog types.
#pragma once

#include "core/base/UserInteraction.h"

#include <QIcon>
#include <QPixmap>

namespace zarn {

// The glyph of a button kind; a null icon for the kinds that show only their caption.
QIcon buttonGlyph(DialogButton kind);
// The 32x32 icon of a dialog type; a null pixmap for the custom type.
QPixmap dialogTypeIcon(DialogType type);

} // namespace zarn
