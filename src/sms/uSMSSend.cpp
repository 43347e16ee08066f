#include "sms/uSMSSend.h"

bool OpenSMSSend()
{
    return true;
}

bool OpenSMSSendTo(const QString &mobile)
{
    Q_UNUSED(mobile);
    return true;
}
