// Pictures of the main window's toolbar buttons, drawn by the program.
#pragma once

#include <QIcon>

namespace zarn {

enum class ToolbarGlyph { New, Open, Save, SendStructure, ReceiveResults, Print, Calibration };

QIcon toolbarGlyph(ToolbarGlyph glyph);

} // namespace zarn
