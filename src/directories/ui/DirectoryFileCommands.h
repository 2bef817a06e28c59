#pragma once

#include <QString>

#include <functional>

class Clock;
class OperatorUi;
class QWidget;

// The File menu's export, import and print commands: each opens its dialog
// over parent (non-modal to the link: nothing waits inside a link event).
namespace DirectoryFileCommands {

void openExport(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent);

// closeDirectory / reopenDirectory: the main window's hold on the speed-bin
// (0) or phone-number (1) directory, released while its file is replaced.
void openImport(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent,
                std::function<void(int)> closeDirectory = {}, std::function<void(int)> reopenDirectory = {});

// kind: the directory preselected (1 speed bins ... 4 CO lines). status
// receives the status-line texts of the job; printingChanged true when the
// worker starts and false when it ends.
void openPrint(OperatorUi &ui, const Clock &clock, const QString &folder, int kind, QWidget *parent,
               std::function<void(const QString &)> status, std::function<void(bool)> printingChanged = {});

} // namespace DirectoryFileCommands
