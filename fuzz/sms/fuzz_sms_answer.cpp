// Reading a gateway answer: the body as the worker turns it into a document (HTML5 parse,
// upper-case serialisation of the root), GetRtn on that markup, and the result code.
#include "FuzzCheck.h"

#include "sms/Gateway.h"
#include "sms/GatewayWorker.h"

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
void checkResultText(const QString &markup)
{
    const QString text = Gateway::GetRtn(markup);
    FUZZ_CHECK(text.size() <= markup.size());
    FUZZ_CHECK(!text.contains(u'<') && !text.contains(u':'));
    const Gateway::Result r = Gateway::readResult(text);
    if (r.numeric) {
        bool ok = false;
        FUZZ_CHECK(text.toLongLong(&ok) == r.value && ok);
    }
    (void)Gateway::errorText(text);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &type :
         {QByteArray("text/html; charset=gbk"), QByteArray("text/html; charset=UTF-8")}) {
        const SendLoop::Answer a = GatewayWorker::documentFor(body, type);
        if (a.kind == SendLoop::Answer::Kind::Document) {
            FUZZ_CHECK(a.markup.startsWith(u"<HTML"_s));
            FUZZ_CHECK(a.markup.contains(u"<BODY"_s));
            checkResultText(a.markup);
        } else {
            FUZZ_CHECK(a.kind == SendLoop::Answer::Kind::NoBody);
        }
    }
    checkResultText(QString::fromUtf8(body));

    // A result code with a message, as the gateway writes it, reads back as the code, whatever
    // title comes before the body.
    QByteArray code;
    for (const char c : body)
        if ((c >= '0' && c <= '9') || c == '-' || c == '+')
            code += c;
    if (!code.isEmpty()) {
        const qsizetype gt = body.indexOf('<');
        // In lower case: GetRtn reads from the first "BODY", wherever it stands.
        const QByteArray title = body.left(gt < 0 ? 0 : gt).toPercentEncoding().toLower();
        const QByteArray page =
            "<html><head><title>" + title + "</title></head><body>" + code + ":ok</body></html>";
        const SendLoop::Answer a = GatewayWorker::documentFor(page, "text/html");
        FUZZ_CHECK(a.kind == SendLoop::Answer::Kind::Document);
        FUZZ_CHECK(Gateway::GetRtn(a.markup) == QString::fromLatin1(code));
    }
    return 0;
}
