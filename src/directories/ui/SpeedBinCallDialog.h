#pragma once

#include "directories/SpeedBinPage.h"

#include <QDialog>

#include <functional>

// The call dialog of the speed-bin directory: shows the bin, its name and the
// number it dials. On OK the hook places the call; when the attendant cannot
// call now the hook says so and the dialog stays open.
class SpeedBinCallDialog : public QDialog
{
    Q_OBJECT
public:
    // The call of a bin ("S" and the bin number as key presses); false when
    // the attendant cannot call now.
    using CallHook = std::function<bool(const QString &keys)>;

    SpeedBinCallDialog(const SpeedBinPage::Record &record, CallHook call, QWidget *parent = nullptr);

    void accept() override;

private:
    QString m_bin;
    CallHook m_call;
};
