#include "ofd_xmlparser.h"

#include "ofd_xmlbytes.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextCodec>

#include <expat.h>

#include <algorithm>
#include <array>
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
    if (data.startsWith(OFD_XmlBytes::kUsualDeclaration))
        return int(sizeof(OFD_XmlBytes::kUsualDeclaration)) - 1;
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

using OFD_XmlBytes::Is;
using OFD_XmlBytes::NameChar;
using OFD_XmlBytes::NameStart;
using OFD_XmlBytes::Space;
using OFD_XmlBytes::TextByte;
using OFD_XmlBytes::ValueByte;

// The length of the UTF-8 sequence at `at` when it is a character XML allows, else 0.
int CharacterLength(const uchar *at, const uchar *end)
{
    const auto tail = [&](int n) {
        if (end - at < n)
            return false;
        for (int i = 1; i < n; ++i)
            if ((at[i] & 0xC0) != 0x80)
                return false;
        return true;
    };
    const uchar lead = at[0];
    if (lead >= 0xC2 && lead <= 0xDF)
        return tail(2) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!tail(3) || (lead == 0xE0 && at[1] < 0xA0) || (lead == 0xED && at[1] > 0x9F)
            || (lead == 0xEF && at[1] == 0xBF && at[2] >= 0xBE))
            return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!tail(4) || (lead == 0xF0 && at[1] < 0x90) || (lead == 0xF4 && at[1] > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

// Writes what the reference at `at` ('&') stands for at `out`, in UTF-8, and moves both past
// it; false for a reference to anything but the predefined entities or a character XML allows.
bool ReplaceReference(const uchar *&at, const uchar *end, char *&out)
{
    const uchar *semicolon = static_cast<const uchar *>(std::memchr(at, ';', size_t(std::min<qptrdiff>(end - at, 12))));
    if (!semicolon)
        return false;
    const std::string_view name(reinterpret_cast<const char *>(at + 1), size_t(semicolon - at - 1));
    at = semicolon + 1;
    static const std::pair<std::string_view, char> predefined[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &entity : predefined) {
        if (name == entity.first) {
            *out++ = entity.second;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != '#')
        return false;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return false;
    uint32_t code = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        code = code * (hex ? 16 : 10) + uint32_t(digit);
        if (code > 0x10FFFF)
            return false;
    }
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || code >= 0x10000;
    if (!allowed)
        return false;
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xC0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = char(0xE0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    } else {
        *out++ = char(0xF0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3F));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    }
    return true;
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
        if (parser->Resumed())
            parser->m_handler->StartElement(*parser, name, attributes);
    }
    static void XMLCALL End(void *data, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed(true))
            parser->m_handler->EndElement(*parser);
    }
    static void XMLCALL Text(void *data, const XML_Char *text, int length)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed())
            parser->m_handler->Text(*parser, text, length);
    }
    static void XMLCALL Comment(void *data, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed())
            parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL Instruction(void *data, const XML_Char *, const XML_Char *)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed())
            parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL CdataStart(void *data)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed())
            parser->m_handler->Break(*parser, false);
    }
    static void XMLCALL CdataEnd(void *data)
    {
        auto *parser = static_cast<OFD_XmlParser *>(data);
        if (parser->Resumed())
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

OFD_XmlParser::OFD_XmlParser() = default;

OFD_XmlParser::~OFD_XmlParser()
{
    if (m_parser)
        XML_ParserFree(m_parser);
}

OFD_XmlParser::Result OFD_XmlParser::Parse(const QByteArray &data, Handler &handler, QString *error)
{
    // A plain prolog says UTF-8 (or nothing), which is all most parts say.
    const int prolog = PlainPrologLength(data);
    const QByteArray encoding = prolog > 0 ? QByteArray() : DeclaredEncoding(data);
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
    m_skipped = override ? 0 : prolog;
    m_handler = &handler;
    m_input = input.constData() + m_skipped;
    m_inputSize = input.size() - m_skipped;
    m_stopped = false;
    m_failure.clear();
    m_resumeAt = 0;

    if (!override && m_plainReading && ReadPlain(handler)) {
        m_handler = nullptr;
        if (!m_failure.isEmpty()) {
            if (error)
                *error = m_failure;
            return Failed;
        }
        return m_stopped ? Stopped : Finished;
    }

    // Each parser keeps one secret for expat's hash tables; asking the system for a new one on
    // every part costs more than reading a small page.
    if (!m_parser) {
        m_salt = QRandomGenerator::system()->generate64();
        m_parser = XML_ParserCreate(override);
    } else {
        XML_ParserReset(m_parser, override);
    }
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
    if (!m_plainActive)
        XML_StopParser(m_parser, XML_FALSE);
}

void OFD_XmlParser::Fail(const QString &message)
{
    if (m_stopped || !m_failure.isEmpty())
        return;
    m_failure = message;
    if (!m_plainActive)
        XML_StopParser(m_parser, XML_FALSE);
}

bool OFD_XmlParser::TextIsReference() const
{
    if (m_plainActive)
        return false; // the plain reader takes no references in text
    const XML_Index at = XML_GetCurrentByteIndex(m_parser);
    if (at < 0 || at >= m_inputSize)
        return false;
    // UTF-16 puts a zero byte before or after the ampersand.
    const char c = m_input[at];
    return c == '&' || (c == '\0' && at + 1 < m_inputSize && m_input[at + 1] == '&');
}

QString OFD_XmlParser::Malformed(const QString &reason) const
{
    qulonglong line;
    qulonglong column;
    if (m_plainActive) {
        // Counted as expat counts: lines at line feeds (the plain reader meets no carriage
        // return), columns in characters.
        line = 1;
        const char *lineStart = m_input;
        const char *const at = m_input + m_plainAt;
        for (const char *feed = lineStart; (feed = static_cast<const char *>(std::memchr(feed, '\n', size_t(at - feed))));) {
            ++line;
            lineStart = ++feed;
        }
        column = qulonglong(std::count_if(lineStart, at, [](char c) { return (uchar(c) & 0xC0) != 0x80; }));
    } else {
        line = XML_GetCurrentLineNumber(m_parser);
        column = XML_GetCurrentColumnNumber(m_parser);
    }
    return Tr("The XML is not well formed (line %1, column %2): %3")
        .arg(line)
        .arg(column + 1 + (line == 1 ? qulonglong(m_skipped) : 0))
        .arg(reason);
}

// Whether expat has come past what the plain reader handed on before it gave the part up.
bool OFD_XmlParser::Resumed(bool end)
{
    if (m_resumeAt == 0)
        return true;
    const XML_Index at = XML_GetCurrentByteIndex(m_parser);
    if (at < m_resumeAt)
        return false;
    // expat places the end of an empty element after its tag.
    if (end && m_resumeEndsEmpty && at == m_resumeAt) {
        m_resumeEndsEmpty = false;
        return false;
    }
    m_resumeAt = 0;
    return true;
}

// False when expat has to read the part, handing on only what comes from m_resumeAt on.
bool OFD_XmlParser::ReadPlain(Handler &handler)
{
    const uchar *const begin = reinterpret_cast<const uchar *>(m_input);
    const uchar *const end = begin + m_inputSize;
    const uchar *at = begin;
    if (m_copyRoom <= m_inputSize) {
        m_copy.reset(new char[size_t(m_inputSize) + 1]);
        m_copyRoom = m_inputSize + 1;
    }
    m_copied = 0;
    m_open.clear();
    m_plainActive = true;
    const auto declined = [this]() {
        m_plainActive = false;
        return false;
    };
    const auto ended = [this]() { return m_stopped || !m_failure.isEmpty(); };

    while (at < end && Is(*at, Space))
        ++at;
    if (at == end || *at != '<')
        return declined();
    for (;;) {
        const uchar *const tag = at;
        if (end - at > 1 && at[1] == '/') {
            if (m_open.empty())
                return declined();
            const auto [nameAt, nameLength] = m_open.back();
            at += 2;
            if (end - at < nameLength || std::memcmp(at, begin + nameAt, size_t(nameLength)) != 0)
                return declined();
            at += nameLength;
            while (at < end && Is(*at, Space))
                ++at;
            if (at == end || *at != '>')
                return declined();
            ++at;
            m_open.pop_back();
            m_plainAt = int(tag - begin);
            handler.EndElement(*this);
            m_resumeEndsEmpty = false;
        } else {
            bool empty = false;
            if (!ReadStartTag(at, end, empty))
                return declined();
            m_plainAt = int(tag - begin);
            handler.StartElement(*this, m_attributes[0], m_attributes.data() + 1);
            // expat, too, ends an empty element whose start stopped the parse, placing it after the tag.
            if (empty) {
                m_plainAt = int(at - begin);
                handler.EndElement(*this);
            } else {
                m_open.emplace_back(int(tag + 1 - begin), int(std::strlen(m_attributes[0])));
            }
            m_resumeEndsEmpty = empty;
        }
        m_resumeAt = int(at - begin);
        if (ended())
            break;
        if (m_open.empty()) {
            while (at < end && Is(*at, Space))
                ++at;
            if (at != end)
                return declined();
            break;
        }
        const uchar *const text = at;
        for (;;) {
            while (at < end && Is(*at, TextByte))
                ++at;
            if (at == end)
                return declined();
            if (*at == '<')
                break;
            if (*at == ']' && !(end - at >= 3 && at[1] == ']' && at[2] == '>')) {
                ++at;
                continue;
            }
            const int length = *at >= 0x80 ? CharacterLength(at, end) : 0;
            if (length == 0)
                return declined();
            at += length;
        }
        if (at > text) {
            m_plainAt = int(text - begin);
            handler.Text(*this, reinterpret_cast<const char *>(text), int(at - text));
            m_resumeAt = int(at - begin);
            m_resumeEndsEmpty = false;
            if (ended())
                break;
        }
    }
    m_plainActive = false;
    m_resumeAt = 0;
    return true;
}

// Reads the start tag at `at` into m_attributes as expat hands it on (references replaced,
// tabs and line feeds in values made spaces) and moves past it. The texts are written over the
// tag in m_copy, each ending in a null: no text is longer than its markup.
bool OFD_XmlParser::ReadStartTag(const uchar *&at, const uchar *end, bool &empty)
{
    // More would make the search for a repeated name slow; expat takes such tags.
    constexpr size_t kMaxAttributes = 64;
    const uchar *const begin = reinterpret_cast<const uchar *>(m_input);
    char *const copy = m_copy.get();
    const auto writable = [&](const uchar *from) { return copy + (from - begin); };
    // The copy is made as far as the tags need it: a page's top is read without copying the rest.
    const auto reach = [&](const uchar *to, int beyond = 0) {
        const int needed = int(std::min<qptrdiff>(to - begin + beyond, m_inputSize)) + 1;
        if (needed <= m_copied)
            return;
        const int copied = std::min(m_inputSize, std::max(needed, m_copied + 4096));
        std::memcpy(copy + m_copied, m_input + m_copied, size_t(copied - m_copied));
        m_copied = copied;
    };
    const auto readName = [&]() {
        if (at == end || !Is(*at, NameStart))
            return false;
        m_attributes.push_back(writable(at));
        while (++at < end && Is(*at, NameChar)) {
        }
        return true;
    };
    m_attributes.clear();
    ++at;
    if (!readName())
        return false;
    const uchar *nameEnd = at;
    for (;;) {
        const uchar *const gap = at;
        while (at < end && Is(*at, Space))
            ++at;
        if (at == end)
            return false;
        if (*at == '>' || *at == '/') {
            empty = *at == '/';
            if (empty && (end - at < 2 || at[1] != '>'))
                return false;
            at += empty ? 2 : 1;
            break;
        }
        if (at == gap || m_attributes.size() > 2 * kMaxAttributes || !readName())
            return false;
        reach(at);
        *writable(nameEnd) = '\0';
        nameEnd = at;
        while (at < end && Is(*at, Space))
            ++at;
        if (at == end || *at != '=')
            return false;
        *writable(nameEnd) = '\0';
        const char *const attributeName = m_attributes.back();
        for (size_t i = 1; i + 1 < m_attributes.size(); i += 2)
            if (std::strcmp(m_attributes[i], attributeName) == 0)
                return false;
        ++at;
        while (at < end && Is(*at, Space))
            ++at;
        if (at == end || (*at != '"' && *at != '\''))
            return false;
        const uchar quote = *at++;
        char *out = writable(at);
        m_attributes.push_back(out);
        const uchar *run = at;
        for (;;) {
            while (at < end && Is(*at, ValueByte))
                ++at;
            if (at == end)
                return false;
            const uchar c = *at;
            if (c == quote)
                break;
            if (c == '"' || c == '\'') {
                ++at;
                continue;
            }
            if (c >= 0x80) {
                const int length = CharacterLength(at, end);
                if (length == 0)
                    return false;
                at += length;
                continue;
            }
            if (c != '\t' && c != '\n' && c != '&')
                return false;
            reach(at, 16); // past the longest reference taken
            // Once a reference has been replaced, what follows moves down.
            if (out != writable(run))
                std::memmove(out, writable(run), size_t(at - run));
            out += at - run;
            if (c == '&') {
                if (!ReplaceReference(at, end, out))
                    return false;
            } else {
                *out++ = ' ';
                ++at;
            }
            run = at;
        }
        reach(at);
        if (out != writable(run))
            std::memmove(out, writable(run), size_t(at - run));
        out[at - run] = '\0';
        nameEnd = ++at;
    }
    reach(nameEnd);
    *writable(nameEnd) = '\0';
    m_attributes.push_back(nullptr);
    m_attributes.push_back(nullptr);
    return true;
}
