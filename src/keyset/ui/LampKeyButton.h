#pragma once

#include "keyset/KeyLamp.h"
#include "keyset/KeyTelephoneKeys.h"

#include <QAbstractButton>
#include <QTimer>

// One key of the virtual key telephone: a raised grey button with an optional
// lamp, carrying the key code it sends. A dial key sends when the mouse button
// is released over it; a function or flexible key when the button is pressed
// and again on each double click (keySent()).
class LampKeyButton : public QAbstractButton
{
    Q_OBJECT
public:
    LampKeyButton(KeyTelephoneKeys::Group group, const KeyTelephoneKeys::Key &key, QWidget *parent = nullptr);

    KeyTelephoneKeys::Group group() const { return m_group; }
    quint8 code() const { return m_code; }
    int lampIndex() const { return m_lampIndex; }
    const KeyLamp &lamp() const { return m_lamp; }
    // The label key (or plain label) the caption is looked up from.
    QString labelKey() const { return m_labelKey; }
    void retranslate();

    // A lamp command of the PBX for this key's lamp.
    void applyLamp(int colour, int pattern);

    // Stale marks: with a text (the "status unknown" line) the lamp stops
    // blinking, the key is hatched grey and the text is its tool-tip; with
    // none the lamp is live again.
    void setStale(const QString &unknownLine);
    bool isStale() const { return m_stale; }
    bool isBlinking() const { return m_blink.isActive(); }

    QSize sizeHint() const override;

Q_SIGNALS:
    void keySent(quint8 code);
    void contextMenuWanted(KeyTelephoneKeys::Group group, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void blinkTick();

    KeyTelephoneKeys::Group m_group;
    quint8 m_code;
    int m_lampIndex;
    QString m_labelKey;
    KeyLamp m_lamp;
    QTimer m_blink;
    bool m_stale = false;
};
