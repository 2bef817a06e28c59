#include "CDLOView.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/WindowKindSettings.h"
#include "base/ui/FontCommand.h"
#include "base/ui/Translate.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusFreshness.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/ButtonSizeDialog.h"
#include "link/CLinkRequest.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>

namespace {

QColor rgb(quint32 value)
{
    return QColor(QRgb(0xFF000000u | value));
}

// Top-left edge in one colour, bottom-right in another.
void drawEdge(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

// Laid over buttons and lamps whose status is not known.
QBrush staleHatch()
{
    return QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern);
}

struct WaitCursor
{
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CDLOView::CDLOView(quint32 kind, const Context &context, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_doc(kind, *context.stations, *context.lines)
    , m_context(context)
{
    setObjectName(kind == PORT_KIND_EXT ? QStringLiteral("stationStatusView") : QStringLiteral("coStatusView"));
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        m_deep = screen->depth() > 12;
    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(HoverRefreshMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CDLOView::hoverTimeout);

    // One button a record, all records, present or not.
    m_buttons.resize(size_t(m_doc.count()));
    m_grid.setGeometry(m_doc.buttonSize(), m_doc.distance());
    {
        WaitCursor wait;
        for (int i = 0; i < int(m_buttons.size()); ++i)
            setLampFromStatus(i);
        retitleAll();
        layoutGrid();
    }
    auto hint = [this](quint16 index, quint16 h) { onUpdate((quint32(index) << 16) | h); };
    if (m_doc.isStation())
        connect(context.stations, &CExtStatusList::recordChanged, this, hint);
    else
        connect(context.lines, &CTrkStatusList::recordChanged, this, hint);
    if (const StatusFreshness *freshness = context.stations->freshness())
        connect(freshness, &StatusFreshness::changed, this, &CDLOView::freshnessChanged);
}

CDLOView::~CDLOView() = default;

QString CDLOView::titleKey() const
{
    return m_doc.isStation() ? QStringLiteral("#:station_window_WINTITLE") : QStringLiteral("#:co_window_WINTITLE");
}

void CDLOView::onUpdate(quint32 hint)
{
    if (hint & 0x8000) {
        const int index = int(hint >> 16);
        if (!valid(index))
            return;
        switch (hint & 0xFFFF) {
        case HINT_IDENTITY:
            if (const CPortStatus *r = m_doc.record(index))
                m_buttons[size_t(index)].title = CDLODoc::title(m_doc.titleMode(), *r);
            break;
        case HINT_STATUS:
            setLampFromStatus(index);
            break;
        default:
            break;
        }
        // A status changes only the lamp: only the lamp is drawn again.
        repaintButton(index, (hint & 0xFFFF) == HINT_STATUS);
        return;
    }
    switch (hint) {
    case 0:
        viewport()->update();
        break;
    case 1: {
        WaitCursor wait;
        m_grid.setGeometry(m_doc.buttonSize(), m_doc.distance());
        layoutGrid();
        break;
    }
    case 2: {
        WaitCursor wait;
        retitleAll();
        viewport()->update();
        break;
    }
    default:
        break;
    }
}

void CDLOView::setOwnStation(int index)
{
    for (Button &b : m_buttons)
        b.own = false;
    if (m_doc.isStation() && valid(index))
        m_buttons[size_t(index)].own = true;
    viewport()->update();
}

QString CDLOView::buttonTitle(int index) const
{
    return valid(index) ? m_buttons[size_t(index)].title : QString();
}

LampState CDLOView::lamp(int index) const
{
    return valid(index) ? m_buttons[size_t(index)].lamp : LampState{};
}

bool CDLOView::lampLit(int index) const
{
    return valid(index) && m_buttons[size_t(index)].lit;
}

void CDLOView::layoutGrid()
{
    std::vector<bool> present(m_buttons.size());
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        const CPortStatus *r = m_doc.record(i);
        present[size_t(i)] = r && r->isPresent();
    }
    m_grid.layout(present, viewport()->width());
    updateScrollBars();
    viewport()->update();
}

void CDLOView::retitleAll()
{
    const int mode = m_doc.titleMode();
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        if (const CPortStatus *r = m_doc.record(i))
            m_buttons[size_t(i)].title = CDLODoc::title(mode, *r);
    }
}

void CDLOView::setLampFromStatus(int index)
{
    const CPortStatus *r = m_doc.record(index);
    if (!r)
        return;
    if (const auto lamp = StatusLamp::forStatus(r->status))
        setLamp(index, *lamp);
}

void CDLOView::setLamp(int index, const LampState &lamp)
{
    Button &b = m_buttons[size_t(index)];
    const int oldPeriod = StatusLamp::period(b.lamp.pattern);
    if (oldPeriod > 0) {
        auto it = m_blinking.find(oldPeriod);
        if (it != m_blinking.end()) {
            it->second.erase(index);
            if (it->second.empty()) {
                m_blinking.erase(it);
                if (QTimer *clock = m_blinkClocks[oldPeriod])
                    clock->stop();
            }
        }
    }
    b.lamp = lamp;
    b.blinkRegister = StatusLamp::RegisterStart;
    b.lit = StatusLamp::lit(lamp.pattern, b.blinkRegister);
    const int period = StatusLamp::period(lamp.pattern);
    if (period > 0) {
        m_blinking[period].insert(index);
        QTimer *&clock = m_blinkClocks[period];
        if (!clock) {
            clock = new QTimer(this);
            clock->setInterval(period);
            clock->setTimerType(Qt::PreciseTimer);
            connect(clock, &QTimer::timeout, this, [this, period] { blinkStep(period); });
        }
        if (!clock->isActive() && !isStale())
            clock->start();
    }
}

void CDLOView::blinkStep(int period)
{
    auto it = m_blinking.find(period);
    if (it == m_blinking.end())
        return;
    for (int index : it->second) {
        Button &b = m_buttons[size_t(index)];
        b.blinkRegister = StatusLamp::nextRegister(b.blinkRegister);
        const bool lit = StatusLamp::lit(b.lamp.pattern, b.blinkRegister);
        if (lit != b.lit) {
            b.lit = lit;
            repaintButton(index, true);
        }
    }
}

bool CDLOView::isStale() const
{
    const StatusFreshness *freshness = m_context.stations->freshness();
    return freshness && freshness->isStale();
}

void CDLOView::freshnessChanged(bool stale)
{
    // Blinking lamps rest in their first phase while stale and start over
    // together when the status is live again.
    for (const auto &[period, indexes] : m_blinking) {
        for (int index : indexes) {
            Button &b = m_buttons[size_t(index)];
            b.blinkRegister = StatusLamp::RegisterStart;
            b.lit = StatusLamp::lit(b.lamp.pattern, b.blinkRegister);
        }
        if (QTimer *clock = m_blinkClocks[period]) {
            if (stale)
                clock->stop();
            else
                clock->start();
        }
    }
    viewport()->update();
}

bool CDLOView::blinkClockRunning(int period) const
{
    auto it = m_blinkClocks.find(period);
    return it != m_blinkClocks.end() && it->second && it->second->isActive();
}

QPoint CDLOView::offset() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QRect CDLOView::buttonRect(int index) const
{
    const QRect r = m_grid.rect(index);
    return r.isNull() ? r : r.translated(-offset());
}

QRect CDLOView::lampRect(const QRect &button)
{
    // 12 x 14, centred 10 pixels from the button's left edge.
    return QRect(button.left() + 10 - 6, button.top() + (button.height() - 14) / 2, 12, 14);
}

void CDLOView::repaintButton(int index, bool lampOnly)
{
    const QRect r = buttonRect(index);
    if (r.isNull() || !r.intersects(viewport()->rect()))
        return;
    ++m_buttonRepaints;
    viewport()->update(lampOnly ? lampRect(r) : r);
}

void CDLOView::updateScrollBars()
{
    const QSize total = m_grid.scrollSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, total.width() - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, total.height() - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(m_grid.cell().height());
    horizontalScrollBar()->setSingleStep(m_grid.cell().width());
}

int CDLOView::indexAt(const QPoint &viewportPos) const
{
    return m_grid.indexAt(viewportPos + offset());
}

const QFont &CDLOView::buttonFont()
{
    CWindowKindSettings &kind = CWindowKindSettings::statusButton();
    if (m_fontGeneration != kind.fontGeneration()) {
        m_font = toQFont(kind.titleFont());
        m_fontGeneration = kind.fontGeneration();
    }
    return m_font;
}

void CDLOView::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    p.setFont(buttonFont());
    const QPoint off = offset();
    const QColor background = palette().color(QPalette::Window);
    // Piece by piece: a blink dirties only lamps, and only those are drawn.
    for (const QRect &dirty : event->region()) {
        p.fillRect(dirty, background);
        for (int index : m_grid.placedIn(dirty.translated(off))) {
            const QRect r = m_grid.rect(index).translated(-off);
            const QRect lamp = lampRect(r);
            if (lamp.contains(dirty)) {
                drawLamp(p, index, lamp);
                continue;
            }
            p.setClipRect(dirty);
            drawFace(p, index, r);
            p.setClipping(false);
        }
    }
}

void CDLOView::drawLamp(QPainter &p, int index, const QRect &lamp) const
{
    const Button &b = m_buttons[size_t(index)];
    const LampColours c = StatusLamp::colours(b.lit ? b.lamp.colour : b.lamp.alternate, m_deep);
    p.fillRect(lamp, rgb(c.face));
    drawEdge(p, lamp.adjusted(0, 0, -1, -1), rgb(c.highlight), rgb(c.shadow));
    if (isStale())
        p.fillRect(lamp, staleHatch());
}

void CDLOView::drawFace(QPainter &p, int index, const QRect &rect) const
{
    const Button &b = m_buttons[size_t(index)];
    const bool pressed = index == m_pressed;
    p.fillRect(rect, rgb(0xC0C0C0));
    if (b.own) {
        const LampColours frame = StatusLamp::ownStationFrame(m_deep);
        p.setPen(rgb(frame.face));
        p.drawRect(rect.adjusted(0, 0, -1, -1));
        const QRect inner = rect.adjusted(1, 1, -1, -1);
        drawEdge(p, inner, rgb(pressed ? frame.shadow : frame.highlight), rgb(pressed ? frame.highlight : frame.shadow));
    } else {
        drawEdge(p, rect, rgb(pressed ? 0x808080 : 0xFFFFFF), rgb(pressed ? 0xFFFFFF : 0x000000));
        drawEdge(p, rect.adjusted(1, 1, -1, -1), rgb(pressed ? 0x808080 : 0xE0E0E0), rgb(pressed ? 0xE0E0E0 : 0x808080));
    }
    drawLamp(p, index, lampRect(rect));
    // The title, clear of the lamp.
    p.setPen(isStale() ? rgb(0x606060) : QColor(Qt::black));
    const QRect textRect = rect.adjusted(14 + 2, 1, -2, -1).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    if (b.textFont != m_fontGeneration || b.text.text() != b.title) {
        b.text.setText(b.title);
        b.text.setTextFormat(Qt::PlainText);
        b.text.prepare(QTransform(), p.font());
        b.textFont = m_fontGeneration;
    }
    const QSizeF size = b.text.size();
    // A title wider than its place starts beside the lamp and is cut at the
    // button's right edge: its beginning stays readable.
    const bool cut = size.width() > textRect.width();
    if (cut) {
        p.save();
        p.setClipRect(textRect, Qt::IntersectClip);
    }
    p.drawStaticText(QPointF(cut ? textRect.left() : textRect.left() + (textRect.width() - size.width()) / 2.0,
                             textRect.top() + (textRect.height() - size.height()) / 2.0),
                     b.text);
    if (cut)
        p.restore();
    if (isStale())
        p.fillRect(rect.adjusted(2, 2, -2, -2), staleHatch());
    // The mark shows while the grid or its find bar has the keyboard.
    if (index == m_focus && (hasFocus() || isAncestorOf(QApplication::focusWidget()))) {
        QPen pen(Qt::black);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect.adjusted(3, 3, -4, -4));
    }
}

void CDLOView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_grid.needsLayout(viewport()->width()))
        layoutGrid();
    else
        updateScrollBars();
}

void CDLOView::scrollContentsBy(int, int)
{
    viewport()->update();
}

bool CDLOView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = indexAt(help->pos());
        if (index < 0 || !m_context.tips) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QString text = m_doc.isStation() ? m_context.tips->station(quint16(index)) : m_context.tips->coLine(quint16(index));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QToolTip::showText(help->globalPos(), text, viewport(), buttonRect(index), 15000);
        return true;
    }
    if (event->type() == QEvent::Leave)
        setHovered(-1);
    return QAbstractScrollArea::viewportEvent(event);
}

void CDLOView::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    if (index < 0)
        m_hoverTimer.stop();
    else
        m_hoverTimer.start();
}

void CDLOView::hoverTimeout()
{
    // The port's details are asked for again, for the tool-tip to show.
    if (!valid(m_hovered))
        return;
    if (m_doc.isStation())
        m_context.stations->refresh(quint16(m_hovered));
    else
        m_context.lines->refresh(quint16(m_hovered));
}

void CDLOView::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(indexAt(event->position().toPoint()));
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CDLOView::mousePressEvent(QMouseEvent *event)
{
    const int index = indexAt(event->position().toPoint());
    if (index < 0)
        return;
    const int oldFocus = m_focus;
    m_focus = index;
    repaintButton(oldFocus);
    if (event->button() == Qt::RightButton) {
        Q_EMIT activationRequested();
        setFocus(Qt::MouseFocusReason);
        repaintButton(index);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = index;
    repaintButton(index);
    m_actionPos = event->globalPosition().toPoint();
    pressButton(index);
}

void CDLOView::pressButton(int index)
{
    if (m_doc.isStation()) {
        Q_EMIT buttonPressed(kind(), index);
        return;
    }
    const CTrkStatus *line = m_context.lines->record(quint16(index));
    const bool wasIdle = line && line->status == Status::STTRK_IDLE;
    m_context.lines->buttonAction(quint16(index));
    Q_EMIT buttonPressed(kind(), index);
    if (wasIdle) {
        const QRect r = buttonRect(index);
        Q_EMIT smallKeyPadRequested(index, QRect(viewport()->mapToGlobal(r.topLeft()), r.size()));
    }
}

void CDLOView::setCurrentButton(int index)
{
    if (!valid(index) || m_grid.rect(index).isNull())
        return;
    const int old = m_focus;
    m_focus = index;
    repaintButton(old);
    const QRect r = m_grid.rect(index);
    const QRect seen(offset(), viewport()->size());
    if (!seen.contains(r)) {
        if (r.top() < seen.top())
            verticalScrollBar()->setValue(r.top());
        else if (r.bottom() > seen.bottom())
            verticalScrollBar()->setValue(r.bottom() - viewport()->height() + 1);
        if (r.left() < seen.left())
            horizontalScrollBar()->setValue(r.left());
        else if (r.right() > seen.right())
            horizontalScrollBar()->setValue(r.right() - viewport()->width() + 1);
    }
    repaintButton(index);
}

void CDLOView::activateButton(int index)
{
    if (!valid(index) || m_grid.rect(index).isNull())
        return;
    setCurrentButton(index);
    m_actionPos = viewport()->mapToGlobal(buttonRect(index).bottomLeft());
    if (m_doc.isStation())
        Q_EMIT buttonActivated(kind(), index);
    else
        pressButton(index); // a CO line's double click adds nothing to its press
}

void CDLOView::requestCallOperation(int index, int operation)
{
    if (m_doc.isStation() && valid(index) && !m_grid.rect(index).isNull())
        Q_EMIT callOperationRequested(kind(), index, operation);
}

void CDLOView::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = m_pressed;
    m_pressed = -1;
    repaintButton(pressed);
    if (event->button() != Qt::RightButton)
        return;
    const int index = indexAt(event->position().toPoint());
    if (index < 0)
        return;
    QMenu *menu = createContextMenu(index);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPosition().toPoint());
}

void CDLOView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int index = indexAt(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton)
        Q_EMIT buttonDoubleClicked(kind(), index);
}

QMenu *CDLOView::createContextMenu(int index)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(m_doc.isStation() ? QStringLiteral("DLO_STA") : QStringLiteral("DLO_TRK"));
    const MessageCatalogue catalogue;
    auto add = [&](const char *key, int command) {
        QAction *a = menu->addAction(catalogue.text(QString::fromLatin1(key)));
        a->setData(command);
        connect(a, &QAction::triggered, this, [this, index, command] { runCommand(index, command); });
        return a;
    };
    add("#:open_database_MENU(&D)", OpenDatabase);
    if (m_doc.isStation()) {
        add("#:send_mail_MENU(&M)", SendMail);
        menu->addSeparator();
        add("#:wake_up_alarm_MENU(&W)", WakeUpAlarm);
        add("#:cancel_wakeup_MENU(&U)", CancelWakeUp);
        add("#:atd_cancel_MENU(&A)", AttendantCancel);
        add("#:change_authocode_MENU(&H)", ChangeAuthCode);
        add("#:temp_cos_MENU(&O)", TempCos);
        add("#:station_name_MENU(&N)", StationName);
        add("#:sta_no_change_MENU(&C)", StationNumberChange);
        menu->addSeparator();
        const int mode = m_doc.titleMode();
        const std::pair<const char *, int> titles[] = {{"#:port_no_title_MENU(&P)", TitlePortNumber},
                                                       {"#:sta_no_title_MENU(&T)", TitleNumber},
                                                       {"#:sta_name_title_MENU(&N)", TitleName},
                                                       {"#:full_name_title_MENU(&U)", TitleFullName}};
        const int modes[] = {CDLODoc::TitlePortNumber, CDLODoc::TitleNumber, CDLODoc::TitleName, CDLODoc::TitleFullName};
        for (int i = 0; i < 4; ++i) {
            QAction *a = add(titles[i].first, titles[i].second);
            a->setCheckable(true);
            a->setChecked(mode == modes[i]);
        }
    } else {
        add("#:outgo_disable_MENU(&O)", OutgoingDisable);
        add("#:co_drop_MENU(&L)", CoDrop);
    }
    menu->addSeparator();
    add("#:font_MENU(&F)", Font);
    add("#:button_size_MENU(&S)", ButtonSize);
    menu->addSeparator();
    add("#:quit_MENU(&Q)", Quit);
    return menu;
}

bool CDLOView::checkIdle() const
{
    if (m_context.attendantIdle && m_context.attendantIdle())
        return true;
    if (m_context.ui)
        m_context.ui->showMessage(QStringLiteral("#:cannot_exe_atd_pgm"), QStringLiteral("#:warning_title"), 0);
    return false;
}

void CDLOView::runCommand(int index, int command)
{
    const CPortStatus *record = m_doc.record(index);
    if (!record)
        return;
    CLinkRequest &request = *m_context.request;
    const QString number = record->numberText();
    switch (command) {
    case WakeUpAlarm:
    case ChangeAuthCode:
    case TempCos:
    case StationName:
        if (checkIdle())
            Q_EMIT commandRequested(kind(), index, command);
        break;
    case OpenDatabase:
    case SendMail:
    case StationNumberChange:
        Q_EMIT commandRequested(kind(), index, command);
        break;
    case CancelWakeUp:
        if (checkIdle())
            request.keySequence(QStringLiteral("T043%1%2H").arg(number, number));
        break;
    case AttendantCancel:
        if (checkIdle())
            request.keySequence(QStringLiteral("T071%1%2H").arg(number, number));
        break;
    case OutgoingDisable:
        if (checkIdle()) {
            request.keySequence(QStringLiteral("T073"));
            request.DYNBTN_DLS(quint16(index));
            request.keySequence(QStringLiteral("M"));
        }
        break;
    case CoDrop:
        request.SCTL_RestartTrk(quint16(index + 1));
        break;
    case Font:
        openKindFontDialog(CWindowKindSettings::statusButton(), this, [] {
            for (QWidget *w : QApplication::allWidgets()) {
                if (auto *view = qobject_cast<CDLOView *>(w))
                    view->viewport()->update();
            }
        });
        break;
    case ButtonSize:
        openButtonSizeDialog();
        break;
    case TitlePortNumber:
    case TitleNumber:
    case TitleName:
    case TitleFullName: {
        const int modes[] = {CDLODoc::TitlePortNumber, CDLODoc::TitleNumber, CDLODoc::TitleName, CDLODoc::TitleFullName};
        m_doc.setTitleMode(modes[command - TitlePortNumber]);
        onUpdate(2);
        break;
    }
    default:
        break;
    }
}

void CDLOView::openButtonSizeDialog()
{
    if (!m_context.ui)
        return;
    auto *dialog = new ButtonSizeDialog(*m_context.ui, m_doc.buttonSize(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { applyButtonSize(dialog->chosenSize()); });
    dialog->open();
}

void CDLOView::applyButtonSize(QSize size)
{
    m_doc.setButtonSize(size);
    onUpdate(1);
}
