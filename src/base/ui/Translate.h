#pragma once

#include "base/SettingsSection.h"

#include <QString>

#include <initializer_list>
#include <optional>

class MessageCatalogue;
class QFont;
class QMenu;
class QMenuBar;
class QWidget;

// Widget helpers of the message catalogue. The "window text" of a widget is: the text of a
// button (QAbstractButton), a label (QLabel), a line edit (QLineEdit), the
// title of a group box (QGroupBox); for every other widget (windows, dialogs,
// MDI children) its window title.

QString widgetText(const QWidget *widget);
void setWidgetText(QWidget *widget, const QString &text);

// Looks the widget's current text up as a key; on success sets the text to the
// looked-up text and returns true, else leaves it (showing the key).
bool TranslateWindowText(QWidget *widget);
bool TranslateWindowText(QWidget *widget, const MessageCatalogue &catalogue);
// A dialog's initialisation: the dialog itself and its listed controls, with
// one load of the catalogue. Returns the number of texts translated.
int translateWindowTexts(QWidget *dialog, std::initializer_list<QWidget *> controls);

// The looked-up text of the widget's current text, or that text itself.
QString TranslatedWindowText(const QWidget *widget);

// Translates every item of the menu by position: separators are skipped, a
// sub-menu is translated first (recursively), then the item's own text (a
// sub-menu's title included) is replaced by its looked-up text. The QActions
// stay the same objects. Returns the number of texts translated.
int TranslateMenu(QMenu *menu);
int TranslateMenu(QMenu *menu, const MessageCatalogue &catalogue);
// The same for every menu of a menu bar (the main menu).
int TranslateMenu(QMenuBar *menuBar);

// LogFont <-> QFont (also reachable as LogFont::toQFont / LogFont::fromQFont).
QFont toQFont(const LogFont &font);
LogFont logFontFromQFont(const QFont &font);

// Window placement <-> widget.
//
// rcNormal is the normal (restored) geometry: for a top-level window its
// normalGeometry() (the client area, without the frame), for a child (an MDI
// sub-window) its geometry in the parent's coordinates. While a child is
// minimized or maximized, the normal rectangle last applied or seen in the
// normal state is reported. showCmd: 1 normal, 2 minimized, 3 maximized; flags
// 0; ptMin and ptMax (-1, -1).
//
// ReadPlacement fails (false, placement untouched) for a null widget.
bool readPlacement(const QWidget *widget, WindowPlacement &placement);
// Sets the normal geometry from rcNormal and the window state from showCmd
// (0 hides, 2 minimizes, 3 maximizes, anything else normal). It does not show
// a hidden widget (except that it remembers the state for show()). Fails for a
// null widget or an rcNormal with no area.
bool applyPlacement(QWidget *widget, const WindowPlacement &placement);

// Save placement on closing: reads the widget's placement and
// writes it to the section; a failure to read writes nothing.
bool savePlacement(const QWidget *widget, CSettingsSection &section);
// Restore placement: nothing stored -> the widget is moved to
// defaultRect and the result is empty; otherwise the stored placement is
// applied with the showCmd of decideRestore() and that showCmd is returned
// (empty when applying fails). The main window shows itself maximized when
// the result is empty.
std::optional<int> restorePlacement(QWidget *widget, const CSettingsSection &section, bool isMainWindow,
                                    const WinRect &defaultRect);
// Moves the widget to a rectangle (right/bottom exclusive).
void moveToRect(QWidget *widget, const WinRect &rect);
