#include "ButtonSizeDialog.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"
#include "callstate/CDLODoc.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ButtonSizeDialog::ButtonSizeDialog(OperatorUi &ui, QSize current, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
    , m_width(new QSpinBox(this))
    , m_height(new QSpinBox(this))
{
    setObjectName(QStringLiteral("buttonSizeDialog"));
    setWindowTitle(trKey(QStringLiteral("#:button_size_title")));
    // The spin boxes take any value; OK tells what is out of range.
    m_width->setRange(0, 999);
    m_height->setRange(0, 999);
    m_width->setObjectName(QStringLiteral("width"));
    m_height->setObjectName(QStringLiteral("height"));
    m_width->setValue(current.width());
    m_height->setValue(current.height());
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(trKey(QStringLiteral("#:width_btn")), m_width);
    form->addRow(trKey(QStringLiteral("#:height_btn")), m_height);
    layout->addLayout(form);
    const ButtonRow row = addOkCancelRow(layout, m_height);
    translateWindowTexts(this, {static_cast<QWidget *>(row.ok), static_cast<QWidget *>(row.cancel)});
}

QSize ButtonSizeDialog::chosenSize() const
{
    return QSize(m_width->value(), m_height->value());
}

QString ButtonSizeDialog::errorText(QSize size)
{
    const MessageCatalogue catalogue;
    QStringList parts;
    if (size.width() < CDLODoc::MinWidth || size.width() > CDLODoc::MaxWidth)
        parts.append(catalogue.text(QStringLiteral("#:ask_width_value")));
    if (size.height() < CDLODoc::MinHeight || size.height() > CDLODoc::MaxHeight)
        parts.append(catalogue.text(QStringLiteral("#:ask_height_value")));
    return parts.join(QLatin1Char('\n'));
}

void ButtonSizeDialog::accept()
{
    const QString error = errorText(chosenSize());
    if (!error.isEmpty()) {
        m_ui.showFixedMessage(error, MessageCatalogue().text(QStringLiteral("#:input_error")), MessageStyle::Exclamation);
        return;
    }
    ConsoleDialog::accept();
}
