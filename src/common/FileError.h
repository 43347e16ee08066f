#pragma once

#include <QString>

#include <stdexcept>

// A failure of a file operation: copying, reading or writing a settings file.
// what() holds a developer-facing text in UTF-8; callers show their own message.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message) : std::runtime_error(message.toStdString()) {}

    QString message() const { return QString::fromUtf8(what()); }
};
