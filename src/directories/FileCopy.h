#pragma once

#include <QString>

namespace FileCopy {
// Copies source over target: writes a temporary file beside the target and
// renames it into place, so a failed copy never leaves a half-written target.
// A second attempt is made after deleting the target. False when both fail.
bool copyOver(const QString &source, const QString &target);
} // namespace FileCopy
