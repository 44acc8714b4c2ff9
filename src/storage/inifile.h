#pragma once
#include <QString>

#include <stdexcept>

namespace vornel {

// A refused write to an INI file; what() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A classic Windows profile file: "[Section]" lines, "Key=Value" lines, CRLF,
// Windows-1252. Section and key names match case-insensitively (A-Z only),
// keys may hold blanks, every other line is kept as it is. The file is read
// afresh by every call; nothing is cached.
class IniFile {
public:
    explicit IniFile(QString path);
    const QString& path() const { return m_path; }

    // A missing file, section or key reads as the empty text; never fails.
    QString read(const QString& section, const QString& key) const;
    // Replaces or adds the key; the file is replaced atomically. Throws
    // IniWriteError when the system refuses the write.
    void write(const QString& section, const QString& key, const QString& value) const;

private:
    QString m_path;
};

} // namespace vornel
