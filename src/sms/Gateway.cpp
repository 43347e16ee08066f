#include "sms/Gateway.h"

#include "common/GbkCodec.h"
#include "common/uPub.h"

#include <gumbo.h>

using namespace Qt::StringLiterals;

namespace Gateway {

QByteArray encodeValue(const QString &value, bool *ok)
{
    const Gbk::Encoded e = Gbk::encode(value);
    if (ok)
        *ok = e.ok();
    if (!e.ok())
        return {};
    return e.bytes.toPercentEncoding();
}

namespace {

QUrl build(const QByteArray &head, std::initializer_list<std::pair<const char *, QString>> values)
{
    QByteArray url = head;
    bool first = true;
    for (const auto &[key, value] : values) {
        bool ok = true;
        const QByteArray v = encodeValue(value, &ok);
        if (!ok)
            return QUrl();
        url += (first ? "?" : "&") + QByteArray(key) + '=' + v;
        first = false;
    }
    return QUrl::fromEncoded(url, QUrl::StrictMode);
}

QByteArray hostPart(const QString &host)
{
    return "http://" + QUrl::toAce(host) + ':' + QByteArray::number(Port);
}

} // namespace

QUrl sendUrl(const QString &host, const Account &account, const QString &numbers,
             const QString &content)
{
    return build(hostPart(host) + '/', {{"CORPID", account.entId},
                                        {"USERNAME", account.userName},
                                        {"PASSWORD", account.password},
                                        {"EXTNO", QString()},
                                        {"MOBILE", numbers},
                                        {"CONTENT", content}});
}

QUrl balanceUrl(const QString &host, const Account &account)
{
    return build(hostPart(host) + "/Balance.asp", {{"CORPID", account.entId},
                                                   {"USERNAME", account.userName},
                                                   {"PASSWORD", account.password}});
}

namespace {

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

void escapeInto(std::string &out, const char *text, bool attribute)
{
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += attribute ? "<" : "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += *p;
        }
    }
}

std::string tagName(const GumboElement &e)
{
    std::string name;
    if (e.tag == GUMBO_TAG_UNKNOWN) {
        GumboStringPiece piece = e.original_tag;
        gumbo_tag_from_original_text(&piece);
        name.assign(piece.data, piece.length);
    } else {
        name = gumbo_normalized_tagname(e.tag);
    }
    for (char &c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return name;
}

void serialise(const GumboNode *node, std::string &out, bool *hasBody)
{
    switch (node->type) {
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE: {
        const GumboElement &e = node->v.element;
        if (e.tag == GUMBO_TAG_BODY)
            *hasBody = true;
        const std::string name = tagName(e);
        out += '<' + name;
        for (unsigned i = 0; i < e.attributes.length; ++i) {
            const auto *a = static_cast<const GumboAttribute *>(e.attributes.data[i]);
            out += ' ';
            out += a->name;
            out += "=\"";
            escapeInto(out, a->value, true);
            out += '"';
        }
        out += '>';
        if (isVoid(e.tag))
            return;
        for (unsigned i = 0; i < e.children.length; ++i)
            serialise(static_cast<const GumboNode *>(e.children.data[i]), out, hasBody);
        out += "</" + name + '>';
        return;
    }
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
        escapeInto(out, node->v.text.text, false);
        return;
    case GUMBO_NODE_CDATA:
        out += node->v.text.text;
        return;
    case GUMBO_NODE_COMMENT:
        out += "<!--";
        out += node->v.text.text;
        out += "-->";
        return;
    case GUMBO_NODE_DOCUMENT:
        return;
    }
}

} // namespace

Document parseHtml(const QByteArray &utf8)
{
    Document doc;
    GumboOutput *output =
        gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
    if (!output)
        return doc;
    std::string markup;
    serialise(output->root, markup, &doc.hasBody);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    doc.outerHtml = QString::fromStdString(markup);
    return doc;
}

QString GetRtn(const QString &markup)
{
    const qsizetype at = markup.indexOf(u"BODY");
    const qsizetype from = at < 0 ? 4 : at + 5;
    if (from >= markup.size())
        return QString();
    const qsizetype lt = markup.indexOf(u'<', from);
    if (lt < 0)
        return QString();
    QString text = markup.mid(from, lt - from);
    const qsizetype colon = text.indexOf(u':');
    if (colon >= 0)
        text.truncate(colon);
    return text;
}

Result readResult(const QString &resultText)
{
    Result r;
    if (!IsNumberText(resultText))
        return r;
    bool ok = false;
    const qint64 v = resultText.toLongLong(&ok);
    if (!ok)
        return r; // a lone sign, or beyond 64 bits
    r.numeric = true;
    r.value = v;
    return r;
}

QString errorText(const QString &resultText)
{
    static const std::pair<const char16_t *, const char16_t *> table[] = {
        {u"-1", u"访问数据库写入数据错误，请联系短信供应商进行处理"},
        {u"-4", u"内容包含不合法文字"},
        {u"-5", u"登录账户错误，确认企业ID/用户名/密码均输入正确！"},
        {u"-9", u"手机号码不合法"},
        {u"-10", u"号码太长不能超过100条一次提交"},
        {u"-11", u"内容太长"},
        {u"-13", u"余额不足"},
        {u"-14", u"子号号不正确"},
        {u"-999", u"参数不全"},
    };
    for (const auto &[code, text] : table)
        if (resultText == QStringView(code))
            return QString::fromUtf16(text);
    return QString();
}

} // namespace Gateway
