#include "LcdBar.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLineEdit>

namespace {

QLineEdit *displayField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return field;
}

} // namespace

LcdBar::LcdBar(QWidget *parent)
    : QWidget(parent)
    , m_upper(displayField(this, QStringLiteral("lcdUpper")))
    , m_lowerLeft(displayField(this, QStringLiteral("lcdLowerLeft")))
    , m_lowerRight(displayField(this, QStringLiteral("lcdLowerRight")))
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(m_upper, 0, 0, 1, 2);
    grid->addWidget(m_lowerLeft, 1, 0);
    grid->addWidget(m_lowerRight, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LcdBar::setUpperLine(const QString &text)
{
    m_upper->setText(text);
}

void LcdBar::setLowerLeft(const QString &text)
{
    m_lowerLeft->setText(text);
}

void LcdBar::setLowerRight(const QString &text)
{
    m_lowerRight->setText(text);
}

void LcdBar::clear()
{
    m_upper->clear();
    m_lowerLeft->clear();
    m_lowerRight->clear();
}

QString LcdBar::upperLine() const
{
    return m_upper->text();
}

QString LcdBar::lowerLeft() const
{
    return m_lowerLeft->text();
}

QString LcdBar::lowerRight() const
{
    return m_lowerRight->text();
}
