#pragma once

#include <stdexcept>
#include <string>

// Every failure of the storage layer: no file, wrong password, file locked, bad SQL,
// rejected value. Callers catch it and show their own message; what() is for logs only.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const std::string &what) : std::runtime_error(what) {}
};
