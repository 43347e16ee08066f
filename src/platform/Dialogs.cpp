#include "platform/Dialogs.h"

#include "platform/QtDialogs.h"

namespace {
Dialogs *installed = nullptr;
}

Dialogs &Dialogs::instance()
{
    static QtDialogs production;
    return installed ? *installed : production;
}

void Dialogs::install(Dialogs *d)
{
    installed = d;
}
