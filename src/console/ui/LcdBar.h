#pragma once

#include <QWidget>

class QLineEdit;

// The display bar of the attendant telephone: the upper display line across
// the whole width, the lower line in a left and a right half. Read-only; the
// display events fill it and the log-off clears it.
class LcdBar : public QWidget
{
    Q_OBJECT
public:
    explicit LcdBar(QWidget *parent = nullptr);

    void setUpperLine(const QString &text);
    void setLowerLeft(const QString &text);
    void setLowerRight(const QString &text);
    void clear();

    QString upperLine() const;
    QString lowerLeft() const;
    QString lowerRight() const;

private:
    QLineEdit *m_upper;
    QLineEdit *m_lowerLeft;
    QLineEdit *m_lowerRight;
};
