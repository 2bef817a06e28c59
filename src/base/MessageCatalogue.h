#pragma once

#include <QByteArray>
#include <QString>

class OperatorUi;

// Language modes of the catalogue.
namespace LanguageMode {
constexpr int Unusable = -1; // catalogue missing or invalid: nothing is translated
constexpr int Symbol = 0;    // keys are shown as they are
constexpr int First = 1;     // first text of each entry ("Poor English")
constexpr int Second = 2;    // second text, falling back to the first ("Local")
} // namespace LanguageMode

// One load of the message-catalogue file "ZARTOLLS.TXT". Create one
// where texts are needed and drop it afterwards: every creation reads the file
// again, so an edited catalogue takes effect on the next use.
//
// The file is UTF-8 bytes; the search and the scan work on the bytes and the
// result is converted from UTF-8 at the end (the scan cuts only at ASCII
// delimiters, never inside a multi-byte character).
//
// Process-wide state: the file path (fixed by the first load to the working
// directory + "/ZARTOLLS.TXT"), the warned flag and the language mode. All
// lookups belong on the user-interface thread.
class MessageCatalogue
{
public:
    MessageCatalogue();

    // Replaces text by its looked-up text in the given language (-1: the
    // current mode) and returns true; on failure leaves text unchanged.
    bool Lookup(QString &text, int language = -1) const;
    // The looked-up text, or key itself when the lookup fails.
    QString text(const QString &key) const;
    // The file was read and starts with "LLS".
    bool isValid() const { return m_valid; }
    // The raw bytes read (empty when nothing was read).
    const QByteArray &content() const { return m_content; }

    static int languageMode();
    static void setLanguageMode(int mode);
    // Section "Language", value "Mode", default 1.
    static void readLanguageMode();
    // Sets the mode and stores it in section "Language", value "Mode".
    static bool storeLanguageMode(int mode);

    // Where the two one-time warnings go (the main window). Without one, the
    // warning is logged with qWarning and the warned flag stays 0, so the first
    // load after an operator UI is set still shows it (once).
    static void setOperatorUi(OperatorUi *ui);
    static OperatorUi *operatorUi();

    // Directory tried when the working-directory file does not open (not
    // remembered as the path). Default: the installed data dir ZARTO_DATA_DIR.
    static void setFallbackDirectory(const QString &dir);
    static QString fallbackDirectory();

    // The fixed catalogue path (empty before the first load).
    static QString filePath();
    // 0 none, 1 "cannot find" shown, 2 "not valid" shown.
    static int warnedFlag();

    // Path empty, warned 0, mode 1, fallback directory back to ZARTO_DATA_DIR.
    static void resetProcessStateForTests();

    static QString notFoundText();
    static QString notValidText();
    static QString warningTitle();

private:
    void load();
    bool lookupIn(QByteArray &out, const QByteArray &key, int language) const;

    QByteArray m_content;
    bool m_valid = false;
};

// MessageCatalogue().text(key).
QString trKey(const QString &key);
