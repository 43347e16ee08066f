// The catalogue reader, version rule, chooser and apply plan over arbitrary bytes. The first line
// is the installed version, the rest the catalogue.
#include "updater/ApplyPlan.h"
#include "updater/UpdateCatalogue.h"

#include <QDir>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
void check(bool ok)
{
    if (!ok)
        std::abort();
}

// A path that, appended to a folder, stays inside it.
bool staysInside(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    return !clean.startsWith(u'/') && clean != u".."_s && !clean.startsWith(u"../"_s);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nl = bytes.indexOf('\n');
    const QByteArray oldVer = nl < 0 ? bytes : bytes.left(nl);
    const QList<QByteArray> lines =
        UpdateCatalogue::splitLines(nl < 0 ? QByteArray() : bytes.mid(nl + 1));

    const UpdateCatalogue::Choice c = UpdateCatalogue::chooseEntries(lines, oldVer);
    check(!UpdateCatalogue::versionLess(c.newVer, oldVer));
    for (const QByteArray &line : lines)
        check(!UpdateCatalogue::versionLess(c.newVer, UpdateCatalogue::stampOf(line)));
    for (qsizetype i = 0; i < c.entries.size(); ++i)
        check(UpdateCatalogue::FindListItem(c.entries, c.entries.at(i)) == i);

    const ApplyPlan::Steps steps = ApplyPlan::steps(c.entries);
    const QList<ApplyPlan::Download> downloads = ApplyPlan::downloads(c.entries);
    if (UpdateCatalogue::unsafeNames(c.entries).isEmpty()) {
        // What passed the check can touch nothing outside the working and application folders.
        for (const ApplyPlan::Download &d : downloads) {
            check(staysInside(d.localPath));
            check(QDir::cleanPath(d.urlPath).startsWith(u"/QuilloBook/"_s));
        }
        for (const QString &name : steps.scripts)
            check(staysInside(u"SQL/"_s + name));
        for (const QString &name : steps.clientFiles)
            check(staysInside(name) && staysInside(u"CLIENT/"_s + name));
    }
    return 0;
}
