// The device profile reader: INI files that the host manager writes for each device.
//
// The host manager writes these files for a Windows profile-string reader, so values
// are read the way that reader returns them: section and key names match without
// regard to case, the value is everything after the first "=" with the surrounding
// blanks and one pair of enclosing quotes removed, and nothing is unescaped or split.
// Passwords such as "a,b\c" must reach the session exactly as written.
#pragma once

#include <QString>

class KxIni {
public:
    explicit KxIni(const QString &path);

    QString FileName() const { return m_path; }

    // The first matching key of the first matching section, cut to what a 4096-byte
    // buffer holds, then trimmed. `def` when the file, section or key is missing or
    // nothing would be copied.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;

    // Blanks as the profile reader sees them: every character up to the space.
    static QString TrimBlanks(const QString &text);

private:
    QString m_path;
};
