#pragma once
#include <QString>

#include <stdexcept>

namespace vornel {

// A refused write to an INI file; what() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A settings or password file that exists but cannot be read.
class IniReadError : public std::runtime_error {
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

    // A missing file, section or key reads as the empty text; never fails
    // (a file that cannot be read reads empty too).
    QString read(const QString& section, const QString& key) const;
    // As read, but a file that exists and cannot be read throws IniReadError.
    QString readChecked(const QString& section, const QString& key) const;
    // Replaces or adds the key; the file is replaced only once the new one is
    // complete. Throws IniWriteError when the system refuses the write, when
    // the existing file cannot be read (it is then left as it is), and for a
    // section or key that could not be read back as written (a key starting
    // with "[" or holding "=", a section holding "]", line breaks). Line
    // breaks in the value are stored as blanks; it reads back trimmed.
    void write(const QString& section, const QString& key, const QString& value) const;

private:
    QString m_path;
};

} // namespace vornel
