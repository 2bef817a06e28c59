#include "Translate.h"

#include "base/MessageCatalogue.h"
#include "base/WindowLayout.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

// ---------------------------------------------------------------- window texts

QString widgetText(const QWidget *widget)
{
    if (!widget)
        return {};
    if (const auto *b = qobject_cast<const QAbstractButton *>(widget))
        return b->text();
    if (const auto *l = qobject_cast<const QLabel *>(widget))
        return l->text();
    if (const auto *e = qobject_cast<const QLineEdit *>(widget))
        return e->text();
    if (const auto *g = qobject_cast<const QGroupBox *>(widget))
        return g->title();
    return widget->windowTitle();
}

void setWidgetText(QWidget *widget, const QString &text)
{
    if (!widget)
        return;
    if (auto *b = qobject_cast<QAbstractButton *>(widget))
        b->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(widget))
        l->setText(text);
    else if (auto *e = qobject_cast<QLineEdit *>(widget))
        e->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(widget))
        g->setTitle(text);
    else
        widget->setWindowTitle(text);
}

bool TranslateWindowText(QWidget *widget, const MessageCatalogue &catalogue)
{
    if (!widget)
        return false;
    QString text = widgetText(widget);
    if (!catalogue.Lookup(text))
        return false;
    setWidgetText(widget, text);
    return true;
}

bool TranslateWindowText(QWidget *widget)
{
    if (!widget)
        return false;
    return TranslateWindowText(widget, MessageCatalogue());
}

int translateWindowTexts(QWidget *dialog, std::initializer_list<QWidget *> controls)
{
    const MessageCatalogue catalogue;
    int n = TranslateWindowText(dialog, catalogue) ? 1 : 0;
    for (QWidget *w : controls)
        n += TranslateWindowText(w, catalogue) ? 1 : 0;
    return n;
}

QString TranslatedWindowText(const QWidget *widget)
{
    QString text = widgetText(widget);
    if (widget)
        MessageCatalogue().Lookup(text);
    return text;
}

// ---------------------------------------------------------------------- menus

namespace {

int translateActions(const QList<QAction *> &actions, const MessageCatalogue &catalogue)
{
    int n = 0;
    for (QAction *action : actions) {
        if (!action || action->isSeparator())
            continue;
        if (QMenu *sub = action->menu())
            n += translateActions(sub->actions(), catalogue);
        QString text = action->text();
        if (catalogue.Lookup(text)) {
            action->setText(text);
            ++n;
        }
    }
    return n;
}

} // namespace

int TranslateMenu(QMenu *menu, const MessageCatalogue &catalogue)
{
    return menu ? translateActions(menu->actions(), catalogue) : 0;
}

int TranslateMenu(QMenu *menu)
{
    if (!menu)
        return 0;
    return TranslateMenu(menu, MessageCatalogue());
}

int TranslateMenu(QMenuBar *menuBar)
{
    if (!menuBar)
        return 0;
    const MessageCatalogue catalogue;
    return translateActions(menuBar->actions(), catalogue);
}

// ---------------------------------------------------------------------- fonts

namespace {

constexpr int FixedPitch = 1;
constexpr int VariablePitch = 2;
constexpr int FamilyRoman = 0x10;
constexpr int FamilySwiss = 0x20;
constexpr int FamilyModern = 0x30;
constexpr int FamilyScript = 0x40;
constexpr int FamilyDecorative = 0x50;
constexpr int NonAntialiasedQuality = 3;
constexpr int AntialiasedQuality = 4;
constexpr int ClearTypeQuality = 5;

qreal logicalDpi()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const qreal dpi = screen->logicalDotsPerInchY();
            if (dpi > 0)
                return dpi;
        }
    }
    return 96.0;
}

} // namespace

QFont toQFont(const LogFont &lf)
{
    QFont f(lf.faceName);
    if (lf.height != 0)
        f.setPixelSize(qAbs(lf.height));
    const int weight = lf.weight <= 0 ? int(QFont::Normal) : qBound(1, lf.weight, 1000);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(lf.italic != 0);
    f.setUnderline(lf.underline != 0);
    f.setStrikeOut(lf.strikeOut != 0);

    QFont::StyleHint hint = QFont::AnyStyle;
    switch (lf.pitchAndFamily & 0xF0) {
    case FamilyRoman:
        hint = QFont::Serif;
        break;
    case FamilySwiss:
        hint = QFont::SansSerif;
        break;
    case FamilyModern:
        hint = QFont::Monospace;
        break;
    case FamilyScript:
        hint = QFont::Cursive;
        break;
    case FamilyDecorative:
        hint = QFont::Decorative;
        break;
    default:
        break;
    }
    QFont::StyleStrategy strategy = QFont::PreferDefault;
    if (lf.quality == NonAntialiasedQuality)
        strategy = QFont::NoAntialias;
    else if (lf.quality == AntialiasedQuality || lf.quality == ClearTypeQuality)
        strategy = QFont::PreferAntialias;
    f.setStyleHint(hint, strategy);
    if ((lf.pitchAndFamily & 0x3) == FixedPitch)
        f.setFixedPitch(true);
    return f;
}

LogFont logFontFromQFont(const QFont &f)
{
    LogFont lf;
    lf.faceName = LogFont::cutFaceName(f.family());
    if (f.pixelSize() > 0)
        lf.height = -f.pixelSize();
    else if (f.pointSizeF() > 0)
        lf.height = -qRound(f.pointSizeF() * logicalDpi() / 72.0);
    lf.width = 0;
    lf.weight = f.weight();
    lf.italic = f.italic() ? 1 : 0;
    lf.underline = f.underline() ? 1 : 0;
    lf.strikeOut = f.strikeOut() ? 1 : 0;

    int family = 0;
    switch (f.styleHint()) {
    case QFont::Serif:
        family = FamilyRoman;
        break;
    case QFont::SansSerif:
        family = FamilySwiss;
        break;
    case QFont::Monospace:
    case QFont::TypeWriter:
        family = FamilyModern;
        break;
    case QFont::Cursive:
        family = FamilyScript;
        break;
    case QFont::Decorative:
    case QFont::Fantasy:
        family = FamilyDecorative;
        break;
    default:
        break;
    }
    lf.pitchAndFamily = family | (f.fixedPitch() ? FixedPitch : VariablePitch);
    if (f.styleStrategy() & QFont::NoAntialias)
        lf.quality = NonAntialiasedQuality;
    else if (f.styleStrategy() & QFont::PreferAntialias)
        lf.quality = AntialiasedQuality;
    return lf;
}

QFont LogFont::toQFont() const
{
    return toQFont(*this);
}

LogFont LogFont::fromQFont(const QFont &font)
{
    return logFontFromQFont(font);
}

// ------------------------------------------------------------------ placement

namespace {

const char *const NormalGeometryProperty = "zartoNormalGeometry";
const char *const TrackerName = "zartoPlacementTracker";

bool isMinOrMax(const QWidget *w)
{
    return w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
}

// Keeps the normal geometry of a child widget (an MDI sub-window) while it
// moves and resizes in the normal state, so that it can be saved while the
// child is minimized or maximized.
class NormalGeometryTracker : public QObject
{
public:
    explicit NormalGeometryTracker(QWidget *widget)
        : QObject(widget)
    {
        setObjectName(QLatin1String(TrackerName));
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            auto *w = static_cast<QWidget *>(watched);
            if (!isMinOrMax(w))
                w->setProperty(NormalGeometryProperty, w->geometry());
        }
        return false;
    }
};

void track(QWidget *w)
{
    if (w->isWindow())
        return;
    if (!w->findChild<QObject *>(QLatin1String(TrackerName), Qt::FindDirectChildrenOnly))
        new NormalGeometryTracker(w);
}

QRect toQRect(const WinRect &r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

WinRect toWinRect(const QRect &r)
{
    return WinRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

void setNormalGeometry(QWidget *w, const QRect &r)
{
    w->setGeometry(r);
    if (!w->isWindow()) {
        w->setProperty(NormalGeometryProperty, r);
        track(w);
    }
}

} // namespace

bool readPlacement(const QWidget *widget, WindowPlacement &placement)
{
    if (!widget)
        return false;
    WindowPlacement p;
    p.flags = 0;
    const Qt::WindowStates state = widget->windowState();
    if (state & Qt::WindowMinimized)
        p.showCmd = ShowCmd::Minimized;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        p.showCmd = ShowCmd::Maximized;
    else
        p.showCmd = ShowCmd::Normal;
    p.ptMin = QPoint(-1, -1);
    p.ptMax = QPoint(-1, -1);

    QRect normal;
    if (widget->isWindow()) {
        normal = widget->normalGeometry();
        if (!normal.isValid())
            normal = widget->geometry();
    } else if (!isMinOrMax(widget)) {
        normal = widget->geometry();
    } else {
        normal = widget->property(NormalGeometryProperty).toRect();
        if (!normal.isValid())
            normal = widget->geometry();
    }
    p.rcNormal = toWinRect(normal);
    placement = p;
    return true;
}

bool applyPlacement(QWidget *widget, const WindowPlacement &placement)
{
    if (!widget)
        return false;
    const QRect normal = toQRect(placement.rcNormal);
    if (normal.width() <= 0 || normal.height() <= 0)
        return false;

    const Qt::WindowStates keep = widget->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (isMinOrMax(widget))
        widget->setWindowState(keep);
    setNormalGeometry(widget, normal);

    switch (placement.showCmd) {
    case ShowCmd::Hide:
        widget->hide();
        break;
    case ShowCmd::Minimized:
        widget->setWindowState(keep | Qt::WindowMinimized);
        break;
    case ShowCmd::Maximized:
        widget->setWindowState(keep | Qt::WindowMaximized);
        break;
    default:
        break;
    }
    return true;
}

bool savePlacement(const QWidget *widget, CSettingsSection &section)
{
    WindowPlacement p;
    if (!readPlacement(widget, p))
        return false;
    return section.writePlacement(p);
}

std::optional<int> restorePlacement(QWidget *widget, const CSettingsSection &section, bool isMainWindow,
                                    const WinRect &defaultRect)
{
    if (!widget)
        return std::nullopt;
    WindowPlacement p = section.readPlacement();
    const RestoreDecision d = decideRestore(p, isMainWindow);
    if (!d.stored) {
        moveToRect(widget, defaultRect);
        return std::nullopt;
    }
    p.showCmd = d.showCmd;
    if (!applyPlacement(widget, p))
        return std::nullopt;
    return d.showCmd;
}

void moveToRect(QWidget *widget, const WinRect &rect)
{
    if (!widget)
        return;
    const QRect r = toQRect(rect);
    if (r.width() <= 0 || r.height() <= 0) {
        widget->move(r.topLeft());
        return;
    }
    setNormalGeometry(widget, r);
}
