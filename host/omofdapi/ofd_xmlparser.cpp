#include "ofd_xmlparser.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextCodec>

#include <expat.h>

#include <algorithm>
#include <cstring>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_XmlParser", text);
}

// The encoding named by the XML declaration, or empty.
QByteArray DeclaredEncoding(const QByteArray &data)
{
    const char *at = data.constData();
    const char *end = at + std::min(data.size(), 512);
    if (end - at >= 3 && std::memcmp(at, "\xEF\xBB\xBF", 3) == 0)
        at += 3;
    if (end - at < 5 || std::memcmp(at, "<?xml", 5) != 0)
        return QByteArray();
    const char *close = static_cast<const char *>(std::memchr(at, '>', size_t(end - at)));
    if (close)
        end = close;
    static const char key[] = "encoding";
    const char *found = std::search(at, end, key, key + 8);
    if (found == end)
        return QByteArray();
    at = found + 8;
    while (at < end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n'))
        ++at;
    if (at == end || *at++ != '=')
        return QByteArray();
    while (at < end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n'))
        ++at;
    if (at == end || (*at != '"' && *at != '\''))
        return QByteArray();
    const char *value = at + 1;
    const char *quote = std::find(value, end, *at);
    return quote == end ? QByteArray() : QByteArray(value, int(quote - value));
}

// The length of a leading BOM and XML declaration that say no more than what expat assumes
// without them (XML 1.0, UTF-8), or 0. Reading such a declaration costs expat more than a
// small page does.
int PlainPrologLength(const QByteArray &data)
{
    const char *const begin = data.constData();
    const char *const end = begin + std::min(data.size(), 256);
    const char *at = begin;
    auto skip = [&at, end](const char *text, bool anyCase = false) {
        const size_t length = std::strlen(text);
        if (size_t(end - at) < length
            || (anyCase ? qstrnicmp(at, text, uint(length)) : std::memcmp(at, text, length)) != 0)
            return false;
        at += length;
        return true;
    };
    auto spaces = [&at, end]() {
        const char *from = at;
        while (at < end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n'))
            ++at;
        return at > from;
    };
    auto pseudo = [&](const char *name, const char *value) {
        const char *from = at;
        if (spaces() && skip(name)) {
            spaces();
            if (skip("=")) {
                spaces();
                for (const char quote : {'"', '\''}) {
                    const char *opened = at;
                    if (at < end && *at == quote && (++at, skip(value, true)) && at < end && *at == quote) {
                        ++at;
                        return true;
                    }
                    at = opened;
                }
            }
        }
        at = from;
        return false;
    };
    skip("\xEF\xBB\xBF");
    if (!skip("<?xml") || !pseudo("version", "1.0"))
        return 0;
    pseudo("encoding", "UTF-8");
    spaces();
    return skip("?>") ? int(at - begin) : 0;
}

bool ExpatKnows(const QByteArray &encoding)
{
    for (const char *known : {"UTF-8", "UTF-16", "UTF-16LE", "UTF-16BE", "ISO-8859-1", "US-ASCII"})
        if (qstricmp(encoding.constData(), known) == 0)
            return true;
    return encoding.isEmpty();
}

} // namespace

// expat calls these with the parser as its user data.
struct OFD_XmlParserCallbacks
{
    static void XMLCALL Start(void *data, const XML_Char *name, const XML_Char **attributes)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->StartElement(*parser, name, attributes);
    }
    static void XMLCALL End(void *data, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->EndElement(*parser);
    }
    static void XMLCALL Text(void *data, const XML_Char *text, int length)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->Text(*parser, text, length);
    }
    static void XMLCALL Comment(void *data, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL Instruction(void *data, const XML_Char *, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL CdataStart(void *data)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL CdataEnd(void *data)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->m_handler->Break(*parser, true);
    }
    // Parts are XML 1.0; a later version may mean what this reader does not know.
    static void XMLCALL Declaration(void *data, const XML_Char *version, const XML_Char *, int)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (version && std::strcmp(version, "1.0") != 0)
            parser->Fail(parser->Malformed(Tr("XML version %1 is not supported.").arg(QString::fromUtf8(version))));
    }
    // An entity declared in the part could expand without bound: the part is refused.
    static void XMLCALL Entity(void *data, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                               const XML_Char *, const XML_Char *, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        parser->Fail(parser->Malformed(Tr("entity declarations are not accepted.")));
    }
};

// Each parser keeps one secret for expat's hash tables; asking the system for a new one on
// every part costs more than reading a small page.
OFD_XmlParser::OFD_XmlParser() : m_salt(QRandomGenerator::system()->generate64())
{
}

OFD_XmlParser::~OFD_XmlParser()
{
    if (m_parser)
        XML_ParserFree(m_parser);
}

OFD_XmlParser::Result OFD_XmlParser::Parse(const QByteArray &data, Handler &handler, QString *error)
{
    const QByteArray encoding = DeclaredEncoding(data);
    QByteArray converted;
    const char *override = nullptr;
    if (!ExpatKnows(encoding)) {
        QTextCodec *codec = QTextCodec::codecForName(encoding);
        if (!codec) {
            if (error)
                *error = Tr("The XML is not well formed: encoding %1 is not supported.").arg(QString::fromLatin1(encoding));
            return Failed;
        }
        converted = codec->toUnicode(data).toUtf8();
        override = "UTF-8";
    }
    const QByteArray &input = override ? converted : data;
    m_skipped = override ? 0 : PlainPrologLength(data);

    if (!m_parser)
        m_parser = XML_ParserCreate(override);
    else
        XML_ParserReset(m_parser, override);
    if (!m_parser) {
        if (error)
            *error = Tr("Out of memory for the XML reader.");
        return Failed;
    }
    XML_SetHashSalt(m_parser, static_cast<unsigned long>(m_salt));
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, &OFD_XmlParserCallbacks::Start, &OFD_XmlParserCallbacks::End);
    XML_SetCharacterDataHandler(m_parser, &OFD_XmlParserCallbacks::Text);
    XML_SetCommentHandler(m_parser, &OFD_XmlParserCallbacks::Comment);
    XML_SetProcessingInstructionHandler(m_parser, &OFD_XmlParserCallbacks::Instruction);
    XML_SetCdataSectionHandler(m_parser, &OFD_XmlParserCallbacks::CdataStart, &OFD_XmlParserCallbacks::CdataEnd);
    XML_SetEntityDeclHandler(m_parser, &OFD_XmlParserCallbacks::Entity);
    XML_SetXmlDeclHandler(m_parser, &OFD_XmlParserCallbacks::Declaration);
    m_handler = &handler;
    m_input = input.constData() + m_skipped;
    m_inputSize = input.size() - m_skipped;
    m_stopped = false;
    m_failure.clear();

    const XML_Status status = XML_Parse(m_parser, m_input, m_inputSize, XML_TRUE);
    m_handler = nullptr;
    if (!m_failure.isEmpty()) {
        if (error)
            *error = m_failure;
        return Failed;
    }
    if (m_stopped)
        return Stopped;
    if (status != XML_STATUS_OK) {
        if (error)
            *error = Malformed(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(m_parser))));
        return Failed;
    }
    return Finished;
}

void OFD_XmlParser::Stop()
{
    if (m_stopped || !m_failure.isEmpty())
        return;
    m_stopped = true;
    XML_StopParser(m_parser, XML_FALSE);
}

void OFD_XmlParser::Fail(const QString &message)
{
    if (m_stopped || !m_failure.isEmpty())
        return;
    m_failure = message;
    XML_StopParser(m_parser, XML_FALSE);
}

bool OFD_XmlParser::TextIsReference() const
{
    const XML_Index at = XML_GetCurrentByteIndex(m_parser);
    if (at < 0 || at >= m_inputSize)
        return false;
    // UTF-16 puts a zero byte before or after the ampersand.
    const char c = m_input[at];
    return c == '&' || (c == '\0' && at + 1 < m_inputSize && m_input[at + 1] == '&');
}

QString OFD_XmlParser::Malformed(const QString &reason) const
{
    return Tr("The XML is not well formed (line %1, column %2): %3")
        .arg(qulonglong(XML_GetCurrentLineNumber(m_parser)))
        .arg(qulonglong(XML_GetCurrentColumnNumber(m_parser)) + 1
             + (XML_GetCurrentLineNumber(m_parser) == 1 ? qulonglong(m_skipped) : 0))
        .arg(reason);
}
