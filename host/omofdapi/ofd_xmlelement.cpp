#include "ofd_xmlelement.h"

#include "ofd_xmlparser.h"

#include <QCoreApplication>
#include <QHash>
#include <QtMath>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_XmlElement", text);
}

// What one part may hold; beyond these a part is refused rather than read for minutes.
const int kMaxElements = 1 << 20;
const int kMaxTextLength = 16 << 20; // characters of one element's text or one attribute
const int kMaxAttributes = 256;      // per element

// The longest stretch without '<' bounds every attribute value and every piece of text, so
// an oversized one is refused before the reader builds it.
int LongestRun(const QByteArray &data)
{
    const char *at = data.constData();
    const char *const end = at + data.size();
    qint64 longest = 0;
    while (at < end) {
        const char *next = static_cast<const char *>(memchr(at, '<', size_t(end - at)));
        if (!next)
            next = end;
        longest = std::max<qint64>(longest, next - at);
        at = next + 1;
    }
    return int(std::min<qint64>(longest, std::numeric_limits<int>::max()));
}

const QString &XmlNamespace()
{
    static const QString uri = QStringLiteral("http://www.w3.org/XML/1998/namespace");
    return uri;
}

// Names and short values repeat on every element: the text last seen in each of a thousand
// slots is shared instead of copied again.
class TextCache
{
public:
    TextCache() : m_slots(1024) {}

    QString Get(const char *text, size_t length)
    {
        if (length > kLongest)
            return QString::fromUtf8(text, int(length));
        uint64_t hash = length;
        size_t at = 0;
        for (; at + 8 <= length; at += 8) {
            uint64_t word;
            std::memcpy(&word, text + at, 8);
            hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        }
        uint64_t tail = 0;
        for (; at < length; ++at)
            tail = (tail << 8) | uchar(text[at]);
        hash = (hash ^ tail) * 0x9E3779B97F4A7C15ull;
        Slot &slot = m_slots[(hash >> 32) % m_slots.size()];
        if (slot.hash != hash || slot.length != length || std::memcmp(slot.bytes, text, length) != 0) {
            slot.hash = hash;
            slot.length = length;
            std::memcpy(slot.bytes, text, length);
            slot.text = QString::fromUtf8(text, int(length));
        }
        return slot.text;
    }
    QString Get(const char *text) { return Get(text, std::strlen(text)); }

private:
    static const size_t kLongest = 48;
    struct Slot
    {
        uint64_t hash = 0;
        size_t length = 0;
        char bytes[kLongest];
        QString text;
    };
    std::vector<Slot> m_slots;
};

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Builds the element tree from the parser's stream. With `namespaces`, prefixes resolve
// through their declarations and an undeclared one ends the build (the caller then reads the
// part again without); without, "ofd" and no prefix mean OFD and other prefixes stand for
// themselves.
class TreeBuilder : public OFD_XmlParser::Handler
{
public:
    TreeBuilder(bool namespaces, int maxDepth) : m_namespaces(namespaces), m_maxDepth(maxDepth) {}

    std::unique_ptr<OFD_XmlElement> TakeRoot() { return std::move(m_root); }
    bool NamespaceFailed() const { return m_namespaceFailed; }

    void StartElement(OFD_XmlParser &parser, const char *name, const char **attributes) override
    {
        // Layout white space before a first child would be stored only to be dropped below.
        if (!m_textSignificant && !m_stack.empty() && m_stack.back()->Text().isEmpty())
            m_text.clear();
        Flush(parser);
        if (int(m_stack.size()) >= m_maxDepth)
            return parser.Fail(Tr("The XML nests deeper than %1 elements.").arg(m_maxDepth));
        if (++m_elements > kMaxElements)
            return parser.Fail(Tr("The XML holds more than %1 elements.").arg(kMaxElements));
        int count = 0;
        while (attributes[2 * count])
            ++count;
        if (count > kMaxAttributes)
            return parser.Fail(Tr("An XML element has more than %1 attributes.").arg(kMaxAttributes));
        if (!CheckName(parser, name))
            return;
        for (int i = 0; i < count; ++i)
            if (!CheckName(parser, attributes[2 * i]))
                return;
        std::unique_ptr<OFD_XmlElement> element =
            m_namespaces ? ResolvedElement(parser, name, attributes, count) : PlainElement(name, attributes, count);
        if (!element)
            return;
        OFD_XmlElement *raw = element.get();
        if (m_stack.empty()) {
            m_root = std::move(element);
        } else {
            OFD_XmlElement *parent = m_stack.back();
            if (parent->ChildCount() == 0 && !parent->Text().isEmpty() && parent->Text().trimmed().isEmpty())
                parent->SetText(QString());
            parent->AddChild(std::move(element));
        }
        m_stack.push_back(raw);
    }

    void EndElement(OFD_XmlParser &parser) override
    {
        Flush(parser);
        if (!m_stack.empty())
            m_stack.pop_back();
        while (!m_bindings.empty() && m_bindings.back().depth >= m_stack.size())
            m_bindings.pop_back();
    }

    void Text(OFD_XmlParser &parser, const char *text, int length) override
    {
        if (m_stack.empty())
            return;
        if (!m_textSignificant) {
            // Character references are text even when they stand for white space; each comes
            // as a piece of its own.
            const bool space = std::all_of(text, text + length, IsXmlSpace);
            m_textSignificant = !space || (length == 1 && parser.TextIsReference());
        }
        m_text.append(text, length);
    }

    void Break(OFD_XmlParser &parser, bool cdata) override
    {
        // A CDATA section is text even when it is only white space.
        if (cdata && !m_text.empty())
            m_textSignificant = true;
        Flush(parser);
    }

private:
    struct Binding
    {
        std::string prefix; // empty for the default namespace
        QString uri;
        size_t depth;       // elements open around the declaring one
    };

    // White space between child elements is layout, never content.
    void Flush(OFD_XmlParser &parser)
    {
        if (m_text.empty())
            return;
        OFD_XmlElement *top = m_stack.empty() ? nullptr : m_stack.back();
        if (top && (m_textSignificant || top->ChildCount() == 0)) {
            const QString text = QString::fromUtf8(m_text.data(), int(m_text.size()));
            if (qint64(top->Text().size()) + text.size() > kMaxTextLength)
                parser.Fail(Tr("An XML element holds more than %1 characters of text.").arg(kMaxTextLength));
            else if (top->Text().isEmpty())
                top->SetText(text);
            else
                top->AppendText(QStringRef(&text));
        }
        m_text.clear();
        m_textSignificant = false;
    }

    // A name holds at most one colon, with a name on either side of it.
    static bool CheckName(OFD_XmlParser &parser, const char *name)
    {
        const char *colon = std::strchr(name, ':');
        if (!colon || (colon != name && colon[1] && !std::strchr(colon + 1, ':')))
            return true;
        parser.Fail(parser.Malformed(Tr("the name %1 is no qualified name.").arg(QString::fromUtf8(name))));
        return false;
    }

    std::unique_ptr<OFD_XmlElement> PlainElement(const char *name, const char **attributes, int count)
    {
        QString uri;
        const QString local = Split(name, &uri);
        auto element = std::make_unique<OFD_XmlElement>(local, uri);
        element->ReserveAttributes(count);
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (qualified[0] == 'x' && std::strncmp(qualified, "xmlns", 5) == 0)
                continue;
            element->SetAttribute(Split(qualified, nullptr), m_texts.Get(attributes[2 * i + 1]));
        }
        return element;
    }

    QString Split(const char *qualified, QString *uri)
    {
        const char *colon = std::strchr(qualified, ':');
        if (uri) {
            uri->clear();
            if (colon && !(colon - qualified == 3 && qstrnicmp(qualified, "ofd", 3) == 0))
                *uri = QStringLiteral("urn:undeclared-prefix:") + QString::fromUtf8(qualified, int(colon - qualified));
        }
        const char *local = colon ? colon + 1 : qualified;
        return m_texts.Get(local);
    }

    std::unique_ptr<OFD_XmlElement> ResolvedElement(OFD_XmlParser &parser, const char *name, const char **attributes,
                                                    int count)
    {
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (!IsDeclaration(qualified))
                continue;
            if (qualified[5] == '\0')
                m_bindings.push_back({std::string(), m_texts.Get(attributes[2 * i + 1]), m_stack.size()});
            else
                m_bindings.push_back({std::string(qualified + 6), m_texts.Get(attributes[2 * i + 1]), m_stack.size()});
        }
        const QString *uri = nullptr;
        const char *local = nullptr;
        if (!Resolve(parser, name, true, uri, local))
            return nullptr;
        auto element = std::make_unique<OFD_XmlElement>(m_texts.Get(local), *uri);
        // Only prefixed names can repeat a local name; without them each attribute is new.
        bool prefixed = false;
        for (int i = 0; i < count && !prefixed; ++i)
            prefixed = !IsDeclaration(attributes[2 * i]) && std::strchr(attributes[2 * i], ':');
        element->ReserveAttributes(count);
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (IsDeclaration(qualified))
                continue;
            const QString *attributeUri = nullptr;
            const char *attributeLocal = nullptr;
            if (!Resolve(parser, qualified, false, attributeUri, attributeLocal))
                return nullptr;
            const QString localName = m_texts.Get(attributeLocal);
            const QString value = m_texts.Get(attributes[2 * i + 1]);
            if (!prefixed) {
                element->AppendAttribute(localName, value);
                continue;
            }
            // Two prefixes of one namespace name the same attribute.
            for (int j = 0; j < i; ++j) {
                const QString *otherUri = nullptr;
                const char *otherLocal = nullptr;
                if (IsDeclaration(attributes[2 * j]) || !std::strchr(attributes[2 * j], ':') || !std::strchr(qualified, ':'))
                    continue;
                Resolve(parser, attributes[2 * j], false, otherUri, otherLocal);
                if (*otherUri == *attributeUri && std::strcmp(otherLocal, attributeLocal) == 0)
                    return NamespaceFailure(parser, Tr("the attribute %1 is repeated.").arg(QString::fromUtf8(qualified)));
            }
            element->SetAttribute(localName, value, *attributeUri);
        }
        return element;
    }

    static bool IsDeclaration(const char *qualified)
    {
        // Most names do not start like one: no call for them.
        return qualified[0] == 'x' && std::strncmp(qualified, "xmlns", 5) == 0
            && (qualified[5] == '\0' || qualified[5] == ':');
    }

    // The namespace of a name: a prefix's declaration; no prefix is the default namespace for
    // elements and none for attributes.
    bool Resolve(OFD_XmlParser &parser, const char *qualified, bool element, const QString *&uri, const char *&local)
    {
        static const QString none;
        const char *colon = std::strchr(qualified, ':');
        local = colon ? colon + 1 : qualified;
        if (!colon) {
            uri = &none;
            if (element)
                for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
                    if (it->prefix.empty()) {
                        uri = &it->uri;
                        break;
                    }
            return true;
        }
        const std::string_view prefix(qualified, size_t(colon - qualified));
        if (prefix == "xml") {
            uri = &XmlNamespace();
            return true;
        }
        for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it) {
            if (it->prefix == prefix) {
                if (it->uri.isEmpty())
                    break;
                uri = &it->uri;
                return true;
            }
        }
        NamespaceFailure(parser, Tr("the prefix %1 is not declared.").arg(QString::fromUtf8(prefix.data(), int(prefix.size()))));
        return false;
    }

    std::nullptr_t NamespaceFailure(OFD_XmlParser &parser, const QString &reason)
    {
        m_namespaceFailed = true;
        parser.Fail(parser.Malformed(reason));
        return nullptr;
    }

    const bool m_namespaces;
    const int m_maxDepth;
    TextCache m_texts;
    std::unique_ptr<OFD_XmlElement> m_root;
    std::vector<OFD_XmlElement *> m_stack;
    std::vector<Binding> m_bindings;
    int m_elements = 0;
    std::string m_text;            // the run of text since the last markup; keeps its room between runs
    bool m_textSignificant = false; // it is more than layout white space
    bool m_namespaceFailed = false;
};

std::unique_ptr<OFD_XmlElement> ParseWith(const QByteArray &data, bool namespaces, int maxDepth, QString *error,
                                          bool *namespaceFailed)
{
    OFD_XmlParser parser;
    TreeBuilder builder(namespaces, maxDepth);
    const OFD_XmlParser::Result result = parser.Parse(data, builder, error);
    *namespaceFailed = builder.NamespaceFailed();
    if (result != OFD_XmlParser::Finished)
        return nullptr;
    std::unique_ptr<OFD_XmlElement> root = builder.TakeRoot();
    if (!root && error)
        *error = Tr("The XML has no root element.");
    return root;
}

// The model keeps numbers as floats; larger ones would become infinities there.
bool InFloatRange(double value)
{
    return std::fabs(value) <= double(std::numeric_limits<float>::max());
}

// Characters XML 1.0 cannot hold (a URI typed with a control character) are left out, so that
// every part we write can be read again.
QString XmlText(const QString &text)
{
    auto allowed = [](QChar c) {
        const ushort u = c.unicode();
        return u >= 0x20 ? u != 0xfffe && u != 0xffff : u == 0x9 || u == 0xa || u == 0xd;
    };
    bool clean = true;
    for (int i = 0; i < text.size() && clean; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else
            clean = allowed(c) && !c.isSurrogate();
    }
    if (clean)
        return text;
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result.append(c).append(text.at(++i));
        } else if (allowed(c) && !c.isSurrogate()) {
            result.append(c);
        }
    }
    return result;
}

} // namespace

const QString &OFD_XmlElement::OfdNamespace()
{
    static const QString uri = QStringLiteral("http://www.ofdspec.org/2016");
    return uri;
}

bool OFD_XmlElement::IsOfdNamespace(const QString &uri)
{
    return uri.isEmpty() || SameName(uri, OfdNamespace()) || uri == QLatin1String("http://www.ofdspec.org")
        || uri == QLatin1String("http://www.ofdspec.org/");
}

std::unique_ptr<OFD_XmlElement> OFD_XmlElement::Parse(const QByteArray &data, QString *error, int maxDepth)
{
    if (LongestRun(data) > kMaxTextLength) {
        if (error)
            *error = Tr("The XML holds a text or an attribute longer than %1 characters.").arg(kMaxTextLength);
        return nullptr;
    }
    QString firstError;
    bool namespaceFailed = false;
    std::unique_ptr<OFD_XmlElement> root = ParseWith(data, true, maxDepth, &firstError, &namespaceFailed);
    if (root || !namespaceFailed) {
        if (!root && error)
            *error = firstError;
        return root;
    }
    // Some producers use the "ofd" prefix without declaring it.
    QString plainError;
    root = ParseWith(data, false, maxDepth, &plainError, &namespaceFailed);
    if (!root && error)
        *error = firstError;
    return root;
}

OFD_XmlElement::OFD_XmlElement(const QString &name, const QString &namespaceUri)
    : m_name(name), m_namespaceUri(namespaceUri)
{
}

std::unique_ptr<OFD_XmlElement> OFD_XmlElement::Clone() const
{
    auto copy = std::make_unique<OFD_XmlElement>(m_name, m_namespaceUri);
    copy->m_attributes = m_attributes;
    copy->m_text = m_text;
    for (const auto &child : m_children)
        copy->m_children.push_back(child->Clone());
    return copy;
}

bool OFD_XmlElement::HasAttribute(const QString &name) const
{
    for (const Attr &attribute : m_attributes)
        if (SameName(attribute.name, name))
            return true;
    return false;
}

QString OFD_XmlElement::Attribute(const QString &name, const QString &fallback) const
{
    for (const Attr &attribute : m_attributes)
        if (SameName(attribute.name, name))
            return attribute.value;
    return fallback;
}

void OFD_XmlElement::SetAttribute(const QString &name, const QString &value, const QString &namespaceUri)
{
    for (Attr &attribute : m_attributes) {
        if (SameName(attribute.name, name)) {
            attribute.value = value;
            return;
        }
    }
    m_attributes.append(Attr{namespaceUri, name, value});
}

void OFD_XmlElement::RemoveAttribute(const QString &name)
{
    for (int i = m_attributes.size() - 1; i >= 0; --i)
        if (m_attributes.at(i).name == name)
            m_attributes.remove(i);
}

double OFD_XmlElement::DoubleAttribute(const QString &name, double fallback) const
{
    double value = 0;
    return ParseDouble(Attribute(name), value) ? value : fallback;
}

uint32_t OFD_XmlElement::UIntAttribute(const QString &name, uint32_t fallback) const
{
    uint32_t value = 0;
    return ParseUInt(Attribute(name), value) ? value : fallback;
}

int OFD_XmlElement::IntAttribute(const QString &name, int fallback) const
{
    const QString text = Attribute(name);
    if (text.isEmpty())
        return fallback;
    uint32_t plain = 0;
    if (text.size() <= 9 && text.at(0).isDigit() && ParseUInt(text, plain))
        return int(plain);
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

bool OFD_XmlElement::BoolAttribute(const QString &name, bool fallback) const
{
    for (const Attr &attribute : m_attributes) {
        if (SameName(attribute.name, name)) {
            bool value = false;
            return ParseBool(attribute.value, value) ? value : fallback;
        }
    }
    return fallback;
}

QString OFD_XmlElement::AttributeOrChild(const QString &name) const
{
    if (HasAttribute(name))
        return Attribute(name);
    return ChildText(name).trimmed();
}

namespace {

// Plain decimals ("-12.5") of up to 15 digits, which is what parts nearly always hold: their
// digits and their power of ten are exact doubles, so one division rounds exactly as a full
// conversion does, at a fraction of its cost. False for anything else.
bool PlainDecimal(const QChar *data, int size, double &value)
{
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int at = 0;
    const bool negative = size > 0 && data[0] == QLatin1Char('-');
    if (negative)
        ++at;
    const int first = at;
    qint64 digits = 0;
    int count = 0;
    int point = -1;
    for (; at < size; ++at) {
        const ushort c = data[at].unicode();
        if (c >= '0' && c <= '9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - '0');
        } else if (c == '.' && point < 0) {
            point = at;
        } else {
            return false;
        }
    }
    // A digit on both sides of the point, no leading zero before another digit, and no
    // negative zero (left to the full conversion).
    if (count == 0 || (negative && digits == 0) || point == first || point == size - 1
        || (data[first] == QLatin1Char('0') && first + 1 < size && data[first + 1] != QLatin1Char('.')))
        return false;
    const double magnitude = point < 0 ? double(digits) : double(digits) / powers[size - 1 - point];
    value = negative ? -magnitude : magnitude;
    return true;
}

// Calls `take` with each number of `text`; false when a token is not one or `take` refuses.
template <class Take>
bool EachNumber(const QString &text, Take take)
{
    const QChar *data = text.constData();
    const int size = text.size();
    auto separator = [](QChar c) { return c.isSpace() || c == QLatin1Char(','); };
    for (int i = 0; i < size;) {
        if (separator(data[i])) {
            ++i;
            continue;
        }
        int end = i;
        while (end < size && !separator(data[end]))
            ++end;
        double value = 0;
        bool ok = PlainDecimal(data + i, end - i, value);
        if (!ok)
            value = QStringRef(&text, i, end - i).toDouble(&ok);
        if (!ok || !InFloatRange(value) || !take(value))
            return false;
        i = end;
    }
    return true;
}

} // namespace

bool OFD_XmlElement::ParseNumbers(const QString &text, QVector<double> &numbers)
{
    numbers.clear();
    if (EachNumber(text, [&numbers](double value) { numbers.append(value); return true; }))
        return true;
    numbers.clear();
    return false;
}

bool OFD_XmlElement::ParseNumbers(const QString &text, double *numbers, int count)
{
    int found = 0;
    return EachNumber(text, [&](double value) {
               if (found == count)
                   return false;
               numbers[found++] = value;
               return true;
           })
        && found == count;
}

bool OFD_XmlElement::ParseDouble(const QString &text, double &value)
{
    double parsed = 0;
    bool ok = PlainDecimal(text.constData(), text.size(), parsed);
    if (!ok)
        parsed = text.trimmed().toDouble(&ok);
    if (!ok || !InFloatRange(parsed))
        return false;
    value = parsed;
    return true;
}

bool OFD_XmlElement::ParseUInt(const QString &text, uint32_t &value)
{
    // Up to nine plain digits cannot overflow; anything else takes the full conversion.
    if (!text.isEmpty() && text.size() <= 9) {
        uint32_t digits = 0;
        int at = 0;
        for (; at < text.size() && text.at(at).unicode() >= '0' && text.at(at).unicode() <= '9'; ++at)
            digits = digits * 10 + uint32_t(text.at(at).unicode() - '0');
        if (at == text.size()) {
            value = digits;
            return true;
        }
    }
    bool ok = false;
    const uint parsed = text.trimmed().toUInt(&ok);
    if (!ok)
        return false;
    value = parsed;
    return true;
}

bool OFD_XmlElement::ParseBool(const QString &text, bool &value)
{
    // Parts nearly always hold the plain words.
    auto plain = [&text](const char *word, int length) {
        if (text.size() != length)
            return false;
        for (int i = 0; i < length; ++i)
            if (text.at(i).unicode() != ushort(word[i]))
                return false;
        return true;
    };
    if (plain("true", 4) || plain("false", 5)) {
        value = text.size() == 4;
        return true;
    }
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1")) {
        value = true;
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0")) {
        value = false;
        return true;
    }
    return false;
}

OFD_XmlElement *OFD_XmlElement::Child(const QString &name) const
{
    for (const auto &child : m_children)
        if (child->Is(name))
            return child.get();
    return nullptr;
}

QVector<OFD_XmlElement *> OFD_XmlElement::Children(const QString &name) const
{
    QVector<OFD_XmlElement *> found;
    for (const auto &child : m_children)
        if (child->Is(name))
            found.append(child.get());
    return found;
}

QString OFD_XmlElement::ChildText(const QString &name) const
{
    const OFD_XmlElement *child = Child(name);
    return child ? child->Text() : QString();
}

OFD_XmlElement *OFD_XmlElement::AddChild(std::unique_ptr<OFD_XmlElement> child, int index)
{
    OFD_XmlElement *raw = child.get();
    // Most elements have a few children; growing one by one would copy them twice.
    if (m_children.empty())
        m_children.reserve(4);
    if (index < 0 || index >= int(m_children.size()))
        m_children.push_back(std::move(child));
    else
        m_children.insert(m_children.begin() + index, std::move(child));
    return raw;
}

OFD_XmlElement *OFD_XmlElement::AddChild(const QString &name, const QString &text)
{
    auto child = std::make_unique<OFD_XmlElement>(name);
    child->SetText(text);
    return AddChild(std::move(child));
}

std::unique_ptr<OFD_XmlElement> OFD_XmlElement::TakeChild(int index)
{
    if (index < 0 || index >= int(m_children.size()))
        return nullptr;
    std::unique_ptr<OFD_XmlElement> child = std::move(m_children[size_t(index)]);
    m_children.erase(m_children.begin() + index);
    return child;
}

int OFD_XmlElement::IndexOf(const OFD_XmlElement *child) const
{
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i].get() == child)
            return int(i);
    return -1;
}

void OFD_XmlElement::SortChildren(const QStringList &names)
{
    auto rank = [&names](const std::unique_ptr<OFD_XmlElement> &child) {
        const int index = child->IsOfd() ? names.indexOf(child->Name()) : -1;
        return index < 0 ? names.size() : index;
    };
    std::stable_sort(m_children.begin(), m_children.end(),
                     [&rank](const auto &a, const auto &b) { return rank(a) < rank(b); });
}

void OFD_XmlElement::Write(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(IsOfd() ? OfdNamespace() : m_namespaceUri, m_name);
    for (const Attr &attribute : m_attributes) {
        if (attribute.namespaceUri.isEmpty() || IsOfdNamespace(attribute.namespaceUri))
            writer.writeAttribute(attribute.name, XmlText(attribute.value));
        else
            writer.writeAttribute(attribute.namespaceUri, attribute.name, XmlText(attribute.value));
    }
    if (m_children.empty()) {
        if (!m_text.isEmpty())
            writer.writeCharacters(XmlText(m_text));
    } else {
        if (!m_text.trimmed().isEmpty())
            writer.writeCharacters(XmlText(m_text));
        for (const auto &child : m_children)
            child->Write(writer);
    }
    writer.writeEndElement();
}

QByteArray OFD_XmlElement::ToDocument() const
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument();
    writer.writeNamespace(OfdNamespace(), QStringLiteral("ofd"));
    Write(writer);
    writer.writeEndDocument();
    return bytes;
}
