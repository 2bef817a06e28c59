#include "PagingDialog.h"

#include "callstate/Paging.h"
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

PagingDialog::PagingDialog(Paging &paging, OperatorUi &ui, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_paging(paging)
{
    setObjectName(QStringLiteral("PagingDialog"));
    setWindowTitle(QStringLiteral("#:Paging"));

    auto *grid = new QGridLayout;
    const QList<Paging::Choice> &choices = Paging::buttons();
    for (int i = 0; i < choices.size(); ++i) {
        auto *b = new QPushButton(choices.at(i).captionKey, this);
        b->setObjectName(QStringLiteral("pagingButton%1").arg(i));
        b->setAutoDefault(false);
        // The tip's first line is its prompt, the second the short tip.
        if (!choices.at(i).toolTip.isEmpty())
            b->setToolTip(choices.at(i).toolTip);
        connect(b, &QPushButton::clicked, this, [this, i] {
            if (m_done)
                return;
            m_done = true;
            m_paging.page(i);
            accept();
        });
        // All zones across the top, then the internal and external pairs.
        if (i == 0)
            grid->addWidget(b, 0, 0, 1, 2);
        else
            grid->addWidget(b, 1 + (i - 1) / 2, (i - 1) % 2);
        m_buttons.append(b);
    }

    m_zones = new QListWidget(this);
    m_zones->setObjectName(QStringLiteral("zoneList"));
    m_zones->setToolTip(Paging::zoneListToolTip());
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_MediaVolume);
    for (const QString &text : m_paging.zoneTexts())
        new QListWidgetItem(icon, text, m_zones);
    m_zones->setMinimumWidth(160);
    connect(m_zones, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { zoneChosen(m_zones->row(item)); });
    connect(m_zones, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { zoneChosen(m_zones->row(item)); });

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addStretch();
    layout->addLayout(left);
    layout->addWidget(m_zones);

    const MessageCatalogue catalogue;
    TranslateWindowText(this, catalogue);
    for (QPushButton *b : m_buttons)
        TranslateWindowText(b, catalogue);
}

QPushButton *PagingDialog::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void PagingDialog::zoneChosen(int row)
{
    // A click and the activation that may come with it page once.
    if (row < 0 || m_done)
        return;
    m_done = true;
    m_paging.pageInternalZone(row);
    accept();
}
