#include "FontCommand.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/ui/Translate.h"

#include <QAction>
#include <QFontDialog>

QFontDialog *openKindFontDialog(CWindowKindSettings &kind, QWidget *parent, std::function<void()> applied)
{
    auto *dialog = new QFontDialog(toQFont(kind.titleFont()), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The same dialog on every platform, so it can be driven like the console's own.
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    CWindowKindSettings *target = &kind;
    QObject::connect(dialog, &QFontDialog::fontSelected, dialog, [target, applied](const QFont &font) {
        target->writeTitleFont(logFontFromQFont(font));
        if (applied)
            applied();
    });
    dialog->open();
    return dialog;
}

QAction *createFontAction(CWindowKindSettings &kind, QWidget *window, std::function<void()> applied)
{
    auto *action = new QAction(trKey(QStringLiteral("#:font_MENU(&F)")), window);
    CWindowKindSettings *target = &kind;
    QObject::connect(action, &QAction::triggered, window,
                     [target, window, applied] { openKindFontDialog(*target, window, applied); });
    return action;
}
