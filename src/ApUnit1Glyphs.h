// Glyphs of the tool-bar buttons that show no caption, drawn in code.
#pragma once
#include <QIcon>

enum class TToolGlyph { Undo, Redo, Open, Save, Print };
QIcon ToolGlyph(TToolGlyph g);
