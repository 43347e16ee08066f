#pragma once

#include <QString>

// libxlsxwriter streams a sheet through a temporary file whose write errors it does not
// report: a full disk leaves a well-formed archive holding a cut-off sheet. This reads the
// archive back and tells whether the first sheet's XML is complete.
bool xlsxSheetIsComplete(const QString &path);
