#include "CallInfoDialog.h"

#include "base/MessageCatalogue.h"
#include "callstate/CallQueue.h"
#include "callstate/CallerNameIndex.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const Captions[] = {"#:ici_number", "#:ici_type", "#:ici_description"};

// The built-in picture: a head and shoulders outline.
QPixmap defaultPixmap()
{
    QPixmap pix(64, 64);
    pix.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(22, 10, 20, 22));
    p.drawRoundedRect(QRect(12, 36, 40, 28), 10, 10);
    return pix;
}

} // namespace

CallInfoDialog::CallInfoDialog(CallInfoQueue &queue, std::function<QString(quint16)> pictureFile, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_queue(queue)
    , m_pictureFile(std::move(pictureFile))
    , m_number(new QLabel(this))
    , m_type(new QLabel(this))
    , m_description(new QLabel(this))
    , m_picture(new QLabel(this))
    , m_pickUp(new QPushButton(this))
    , m_ignore(new QPushButton(this))
{
    setObjectName(QStringLiteral("callInfoPopup"));
    setModal(false);
    m_pickUp->setObjectName(QStringLiteral("pickUp"));
    m_ignore->setObjectName(QStringLiteral("ignore"));
    m_picture->setFixedSize(64, 64);
    m_picture->setScaledContents(true);
    auto *form = new QFormLayout;
    QLabel *fields[] = {m_number, m_type, m_description};
    for (int i = 0; i < 3; ++i) {
        auto *caption = new QLabel(this);
        m_captions.append(caption);
        form->addRow(caption, fields[i]);
    }
    auto *top = new QHBoxLayout;
    top->addWidget(m_picture);
    top->addLayout(form, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pickUp);
    buttons->addWidget(m_ignore);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    m_pickUp->setDefault(true);
    retranslate();

    connect(m_pickUp, &QPushButton::clicked, &m_queue, &CallInfoQueue::pickUp);
    connect(m_ignore, &QPushButton::clicked, &m_queue, &CallInfoQueue::ignore);
    connect(&m_queue, &CallInfoQueue::showRequested, this, &CallInfoDialog::showEntry);
    connect(&m_queue, &CallInfoQueue::hideRequested, this, &QWidget::hide);
}

void CallInfoDialog::retranslate()
{
    const MessageCatalogue catalogue;
    setWindowTitle(catalogue.text(QStringLiteral("#:ici_cap_in_call_info")));
    for (int i = 0; i < 3; ++i)
        m_captions[i]->setText(catalogue.text(QString::fromLatin1(Captions[i])));
    m_pickUp->setText(catalogue.text(QStringLiteral("#:ici_pickup")));
    m_ignore->setText(catalogue.text(QStringLiteral("#:ici_ignore")));
    if (m_entry)
        m_type->setText(catalogue.text(CallQueue::typeTextKey(m_entry->type)));
}

void CallInfoDialog::showEntry(const CallInfoEntry &entry)
{
    m_entry = entry;
    m_number->setText(entry.key);
    m_type->setText(MessageCatalogue().text(CallQueue::typeTextKey(entry.type)));
    m_description->setText(CallerNameIndex::shown(entry.description, entry.callerName));
    QPixmap pix;
    if (entry.type == 5 && m_pictureFile) {
        const QString file = m_pictureFile(entry.index);
        if (!file.isEmpty())
            pix.load(file);
    }
    m_defaultPicture = pix.isNull();
    m_picture->setPixmap(m_defaultPicture ? defaultPixmap() : pix);
    show();
    raise();
    m_pickUp->setFocus(Qt::OtherFocusReason);
}

void CallInfoDialog::closeEvent(QCloseEvent *event)
{
    // Closed from its title bar: the operator leaves the call for now.
    QDialog::closeEvent(event);
    if (m_queue.isVisible())
        m_queue.ignore();
}
