#pragma once

#include <QString>

// Opens a new group SMS window, non-modal and without owner; it frees itself when closed.
// Every call opens another window. Returns true.
bool OpenSMSSend();

// As OpenSMSSend, then replaces the recipient list by the one given number (unchecked).
bool OpenSMSSendTo(const QString &mobile);
