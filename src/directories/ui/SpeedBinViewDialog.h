#pragma once

#include "directories/SpeedBinPage.h"

#include <QDialog>

// One speed bin, read-only, with Edit and Call. Call closes the dialog and
// the view places the call at once (no call dialog).
class SpeedBinViewDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SpeedBinViewDialog(const SpeedBinPage::Record &record, QWidget *parent = nullptr);

Q_SIGNALS:
    void editRequested();
    void callRequested();
};
