#pragma once

#include <QString>

// The path as it exists on disk when its folder and file names are matched without regard to
// letter case ("db/ZARI.dat" finds "DB/ZARI.dat"). An exact match is preferred; components
// that do not exist are kept as given, so the result can also name a file still to be created.
QString resolveCaseInsensitive(const QString &path);
