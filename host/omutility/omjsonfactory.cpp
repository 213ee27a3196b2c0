#include "omjsonfactory.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <charconv>
#include <cmath>

// Qt's own JSON classes sort object keys and read 1.0 back as an integer; the host's
// descriptions keep their key order and number kinds, hence this small reader and writer.

namespace {

void WriteString(std::string &out, const std::string &raw)
{
    // Invalid UTF-8 is replaced, so the text is always valid JSON.
    const QByteArray utf8 = QString::fromUtf8(raw.data(), int(raw.size())).toUtf8();
    out += '"';
    for (char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void WriteDouble(std::string &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // Shortest text that reads back to the same double; a float widened to double
    // therefore reads back to the same float.
    // Qt drops the sign of a negative zero.
    if (value == 0 && std::signbit(value)) {
        out += "-0.0";
        return;
    }
    QByteArray text = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains('.') && !text.contains('e'))
        text += ".0";
    out += text.toStdString();
}

void Write(std::string &out, const OMJson &json)
{
    switch (json.GetType()) {
    case OMJson::Null:
        out += "null";
        break;
    case OMJson::Bool:
        out += json.GetBool() ? "true" : "false";
        break;
    case OMJson::Int:
        out += std::to_string(json.GetInt());
        break;
    case OMJson::Double:
        WriteDouble(out, json.GetDouble());
        break;
    case OMJson::String:
        WriteString(out, json.GetString());
        break;
    case OMJson::Array:
        out += '[';
        for (int i = 0; i < json.Size(); ++i) {
            if (i > 0)
                out += ',';
            const OMSharedPtr<OMJson> item = json.At(i);
            if (item)
                Write(out, *item);
            else
                out += "null";
        }
        out += ']';
        break;
    case OMJson::Object: {
        out += '{';
        bool first = true;
        for (const std::string &key : json.Keys()) {
            if (!first)
                out += ',';
            first = false;
            WriteString(out, key);
            out += ':';
            const OMSharedPtr<OMJson> member = json.Member(key);
            if (member)
                Write(out, *member);
            else
                out += "null";
        }
        out += '}';
        break;
    }
    }
}

class Reader
{
public:
    explicit Reader(const std::string &text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    OMSharedPtr<OMJson> ReadDocument()
    {
        OMSharedPtr<OMJson> value = ReadValue(0);
        SkipSpace();
        if (!value || m_p != m_end)
            return nullptr;
        return value;
    }

private:
    // Deep nesting in hostile text must not exhaust the stack.
    static constexpr int MaxDepth = 256;

    void SkipSpace()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\n' || *m_p == '\r'))
            ++m_p;
    }

    bool Literal(const char *word)
    {
        const char *p = m_p;
        for (; *word; ++word, ++p)
            if (p == m_end || *p != *word)
                return false;
        m_p = p;
        return true;
    }

    OMSharedPtr<OMJson> ReadValue(int depth)
    {
        SkipSpace();
        if (m_p == m_end || depth > MaxDepth)
            return nullptr;
        auto value = std::make_shared<OMJson>();
        switch (*m_p) {
        case '{':
            return ReadObject(depth);
        case '[':
            return ReadArray(depth);
        case '"': {
            std::string text;
            if (!ReadString(text))
                return nullptr;
            value->SetString(text);
            return value;
        }
        case 't':
            if (!Literal("true"))
                return nullptr;
            value->SetBool(true);
            return value;
        case 'f':
            if (!Literal("false"))
                return nullptr;
            value->SetBool(false);
            return value;
        case 'n':
            if (!Literal("null"))
                return nullptr;
            return value;
        default:
            return ReadNumber();
        }
    }

    OMSharedPtr<OMJson> ReadObject(int depth)
    {
        ++m_p;
        OMSharedPtr<OMJson> object = OMJson::NewObject();
        SkipSpace();
        if (m_p != m_end && *m_p == '}') {
            ++m_p;
            return object;
        }
        for (;;) {
            SkipSpace();
            std::string key;
            if (m_p == m_end || *m_p != '"' || !ReadString(key))
                return nullptr;
            SkipSpace();
            if (m_p == m_end || *m_p != ':')
                return nullptr;
            ++m_p;
            OMSharedPtr<OMJson> member = ReadValue(depth + 1);
            if (!member)
                return nullptr;
            object->Set(key, member);
            SkipSpace();
            if (m_p == m_end)
                return nullptr;
            if (*m_p == '}') {
                ++m_p;
                return object;
            }
            if (*m_p != ',')
                return nullptr;
            ++m_p;
        }
    }

    OMSharedPtr<OMJson> ReadArray(int depth)
    {
        ++m_p;
        OMSharedPtr<OMJson> array = OMJson::NewArray();
        SkipSpace();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            return array;
        }
        for (;;) {
            OMSharedPtr<OMJson> item = ReadValue(depth + 1);
            if (!item)
                return nullptr;
            array->Append(item);
            SkipSpace();
            if (m_p == m_end)
                return nullptr;
            if (*m_p == ']') {
                ++m_p;
                return array;
            }
            if (*m_p != ',')
                return nullptr;
            ++m_p;
        }
    }

    bool ReadHex4(unsigned &code)
    {
        if (m_end - m_p < 4)
            return false;
        code = 0;
        for (int i = 0; i < 4; ++i, ++m_p) {
            const char c = *m_p;
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= unsigned(c - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    static void AppendUtf8(std::string &out, unsigned code)
    {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xc0 | (code >> 6));
            out += char(0x80 | (code & 0x3f));
        } else if (code < 0x10000) {
            out += char(0xe0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        } else {
            out += char(0xf0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3f));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        }
    }

    bool ReadString(std::string &out)
    {
        ++m_p;
        std::string raw;
        for (;;) {
            if (m_p == m_end)
                return false;
            const char c = *m_p++;
            if (c == '"')
                break;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                raw += c;
                continue;
            }
            if (m_p == m_end)
                return false;
            switch (*m_p++) {
            case '"': raw += '"'; break;
            case '\\': raw += '\\'; break;
            case '/': raw += '/'; break;
            case 'b': raw += '\b'; break;
            case 'f': raw += '\f'; break;
            case 'n': raw += '\n'; break;
            case 'r': raw += '\r'; break;
            case 't': raw += '\t'; break;
            case 'u': {
                unsigned code = 0;
                if (!ReadHex4(code))
                    return false;
                if (code >= 0xd800 && code < 0xdc00) {
                    unsigned low = 0;
                    if (m_end - m_p < 2 || m_p[0] != '\\' || m_p[1] != 'u')
                        return false;
                    m_p += 2;
                    if (!ReadHex4(low) || low < 0xdc00 || low >= 0xe000)
                        return false;
                    code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
                } else if (code >= 0xdc00 && code < 0xe000) {
                    return false;
                }
                AppendUtf8(raw, code);
                break;
            }
            default:
                return false;
            }
        }
        // JSON text is UTF-8; a byte sequence that does not survive decoding is refused.
        const QByteArray bytes(raw.data(), int(raw.size()));
        if (QString::fromUtf8(bytes).toUtf8() != bytes)
            return false;
        out = raw;
        return true;
    }

    OMSharedPtr<OMJson> ReadNumber()
    {
        const char *start = m_p;
        const char *p = m_p;
        bool integral = true;
        if (p != m_end && *p == '-')
            ++p;
        if (p == m_end || !(*p >= '0' && *p <= '9'))
            return nullptr;
        if (*p == '0')
            ++p;
        else
            while (p != m_end && *p >= '0' && *p <= '9')
                ++p;
        if (p != m_end && *p == '.') {
            integral = false;
            ++p;
            if (p == m_end || !(*p >= '0' && *p <= '9'))
                return nullptr;
            while (p != m_end && *p >= '0' && *p <= '9')
                ++p;
        }
        if (p != m_end && (*p == 'e' || *p == 'E')) {
            integral = false;
            ++p;
            if (p != m_end && (*p == '+' || *p == '-'))
                ++p;
            if (p == m_end || !(*p >= '0' && *p <= '9'))
                return nullptr;
            while (p != m_end && *p >= '0' && *p <= '9')
                ++p;
        }
        m_p = p;
        auto value = std::make_shared<OMJson>();
        if (integral) {
            long long i = 0;
            const auto r = std::from_chars(start, p, i);
            if (r.ec == std::errc() && r.ptr == p) {
                value->SetInt(i);
                return value;
            }
        }
        double d = 0;
        const auto r = std::from_chars(start, p, d);
        if (r.ptr != p)
            return nullptr;
        if (r.ec == std::errc::result_out_of_range) {
            // Too small reads as zero; too large would be infinity, which JSON cannot say back.
            const std::string text(start, p);
            if (text.find("e-") == std::string::npos && text.find("E-") == std::string::npos)
                return nullptr;
            d = *start == '-' ? -0.0 : 0.0;
        } else if (r.ec != std::errc()) {
            return nullptr;
        }
        value->SetDouble(d);
        return value;
    }

    const char *m_p;
    const char *m_end;
};

} // namespace

CCA_String OMJsonFactory::BuildJsonString(const OMSharedPtr<const OMJson> &json)
{
    if (!json)
        return CCA_String("null");
    std::string out;
    Write(out, *json);
    return CCA_String(out);
}

OMSharedPtr<OMJson> OMJsonFactory::ParseJsonString(const CCA_String &text)
{
    return Reader(text.StdString()).ReadDocument();
}
