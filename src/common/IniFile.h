#pragma once

#include "common/FileError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// An INI file with GBK text, in the manner of a Windows profile file. Every read looks at the
// file as it is on disk; every write is saved at once through a temporary file and a rename,
// leaving all other lines (sections, comments, order, unknown bytes) as they were.
// Section and key names match without regard to letter case. Lines are written with CR LF;
// CR LF, LF and CR are all read as line ends. Values are read with surrounding blanks removed.
class IniFile
{
public:
    enum Option
    {
        NoOptions = 0,
        OwnerOnly = 1, // the file is kept readable and writable by its owner only (0600)
    };
    Q_DECLARE_FLAGS(Options, Option)

    explicit IniFile(const QString &fileName, Options options = NoOptions);

    QString fileName() const { return m_fileName; }

    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // A value that is not a decimal integer gives defaultValue.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // The key names of a section, in file order; empty when the section is absent.
    QStringList sectionKeys(const QString &section) const;
    bool sectionExists(const QString &section) const;

    // Throw FileError when the file cannot be written, when a text has a character GBK lacks,
    // or when a name or value holds a line break (or a name '=' or brackets), which would
    // change the file's structure.
    void writeString(const QString &section, const QString &key, const QString &value);
    // Several keys of one section in a single replacement of the file: after a crash the
    // file holds all of them or none. Throws as writeString, before anything is written.
    void writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values);
    void writeInteger(const QString &section, const QString &key, int value);
    // Removes the key; nothing is written when it is absent.
    void eraseKey(const QString &section, const QString &key);

private:
    struct Line
    {
        QByteArray raw;  // the bytes as on disk, without the line end
        QString section; // for a section header: its name
        QString key;     // for a key line: its name
        bool isSection = false;
        bool isKey = false;
    };
    QList<Line> load() const;
    void save(const QList<Line> &lines) const;
    static Line parse(const QByteArray &raw);
    static void setValue(QList<Line> &lines, const QString &section, const QString &key,
                         const QByteArray &valueBytes);

    QString m_fileName;
    Options m_options;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(IniFile::Options)
