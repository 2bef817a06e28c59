#pragma once

#include <QString>

class QSqlDatabase;

// Text comparison of the directory files, registered on every connection:
// - the collation UNICASE compares and sorts without regard to case, for
//   every letter (SQLite's NOCASE folds only A to Z);
// - the function jetlike(value, pattern) matches a value against a pattern of
//   the directories' filter texts: * any text, ? one character, # one digit,
//   [abc], [a-z] and [!abc] one character of (or not of) a set; every other
//   character, % _ \ and ' included, matches itself, without regard to case.
//   A wildcard is matched literally inside brackets: [*] [?] [#] [[].
bool registerSqliteFunctions(QSqlDatabase &db);

bool jetLikeMatch(const QString &value, const QString &pattern);
// Compares as the collation UNICASE does.
int unicaseCompare(const QString &a, const QString &b);
