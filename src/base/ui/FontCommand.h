#pragma once

#include <functional>

class CWindowKindSettings;
class QAction;
class QFontDialog;
class QWidget;

// The font command of a window kind ("#:font_MENU(&F)" in the context menu of
// its windows): the font dialog, preset to the kind's "Title" font, opened
// window-modal without a nested event loop. On OK the chosen font is written
// back as "Title" and the kind's shared font dropped, then applied() runs so
// the caller can have every window of the kind take the new font.
QFontDialog *openKindFontDialog(CWindowKindSettings &kind, QWidget *parent, std::function<void()> applied = {});

// A context-menu action for that command, owned by window; its text is the
// looked-up "#:font_MENU(&F)".
QAction *createFontAction(CWindowKindSettings &kind, QWidget *window, std::function<void()> applied = {});
