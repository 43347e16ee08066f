#pragma once

#include "sms/Gateway.h"

#include <QString>

// The SMS account in SMS.ini, section [comm]: EntID, Username and the scrambled userPass.
// The file is kept readable by its owner only.
namespace SmsSettings {

Gateway::Account readAccount(const QString &iniPath);
// Throws FileError when the file cannot be written or a text cannot be stored in GBK.
void writeAccount(const QString &iniPath, const Gateway::Account &account);

} // namespace SmsSettings
