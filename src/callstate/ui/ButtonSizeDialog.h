#pragma once

#include "base/ui/ConsoleDialog.h"

#include <QSize>

class OperatorUi;
class QSpinBox;

// The size of the status buttons: width 40 to 200, height 10 to 50. OK with
// a value outside these keeps the dialog open and says which one is wrong.
class ButtonSizeDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    ButtonSizeDialog(OperatorUi &ui, QSize current, QWidget *parent = nullptr);

    QSize chosenSize() const;
    QSpinBox *widthBox() const { return m_width; }
    QSpinBox *heightBox() const { return m_height; }
    // The error text of a size, empty when it is valid.
    static QString errorText(QSize size);

    void accept() override;

private:
    OperatorUi &m_ui;
    QSpinBox *m_width;
    QSpinBox *m_height;
};
