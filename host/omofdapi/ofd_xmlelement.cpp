#include "ofd_xmlelement.h"

#include <QCoreApplication>
#include <QHash>
#include <QtMath>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <deque>
#include <cstring>
#include <cmath>
#include <limits>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_XmlElement", text);
}

// Without namespace processing a name arrives as "prefix:local"; "ofd" and no prefix mean OFD.
void SplitQualified(const QString &qualified, QString &local, QString &uri)
{
    const int colon = qualified.indexOf(QLatin1Char(':'));
    local = colon < 0 ? qualified : qualified.mid(colon + 1);
    const QString prefix = colon < 0 ? QString() : qualified.left(colon);
    if (prefix.isEmpty() || prefix.compare(QLatin1String("ofd"), Qt::CaseInsensitive) == 0)
        uri.clear();
    else
        uri = QStringLiteral("urn:undeclared-prefix:") + prefix;
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

// Names repeat on every element: one shared copy of each of the first few hundred.
class NamePool
{
public:
    QString Get(const QStringRef &name)
    {
        const auto it = m_names.constFind(name);
        if (it != m_names.constEnd())
            return it.value();
        QString copy = name.toString();
        if (m_names.size() < 512)
            m_names.insert(QStringRef(&m_keys.emplace_back(copy)), copy);
        return copy;
    }

private:
    std::deque<QString> m_keys; // what the keys refer to; a deque never moves them
    QHash<QStringRef, QString> m_names;
};

std::unique_ptr<OFD_XmlElement> ParseWith(const QByteArray &data, bool namespaces, int maxDepth, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(namespaces);
    NamePool names;
    std::unique_ptr<OFD_XmlElement> root;
    std::vector<OFD_XmlElement *> stack;
    int elements = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (int(stack.size()) >= maxDepth)
                return fail(Tr("The XML nests deeper than %1 elements.").arg(maxDepth));
            if (++elements > kMaxElements)
                return fail(Tr("The XML holds more than %1 elements.").arg(kMaxElements));
            QString name;
            QString uri;
            if (namespaces) {
                name = names.Get(reader.name());
                uri = names.Get(reader.namespaceUri());
            } else {
                SplitQualified(reader.qualifiedName().toString(), name, uri);
            }
            auto element = std::make_unique<OFD_XmlElement>(name, uri);
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.size() > kMaxAttributes)
                return fail(Tr("An XML element has more than %1 attributes.").arg(kMaxAttributes));
            // Only prefixed names can repeat a local name; without them each attribute is new.
            const bool prefixed = std::any_of(attributes.begin(), attributes.end(), [](const QXmlStreamAttribute &a) {
                return !a.prefix().isEmpty();
            });
            element->ReserveAttributes(attributes.size());
            for (const QXmlStreamAttribute &attribute : attributes) {
                if (namespaces) {
                    const QString local = names.Get(attribute.name());
                    if (prefixed)
                        element->SetAttribute(local, attribute.value().toString(), attribute.namespaceUri().toString());
                    else
                        element->AppendAttribute(local, attribute.value().toString());
                    continue;
                }
                QString local;
                QString attributeUri;
                SplitQualified(attribute.qualifiedName().toString(), local, attributeUri);
                if (attribute.qualifiedName().startsWith(QLatin1String("xmlns")))
                    continue;
                element->SetAttribute(local, attribute.value().toString());
            }
            OFD_XmlElement *raw = element.get();
            if (stack.empty()) {
                root = std::move(element);
            } else {
                OFD_XmlElement *parent = stack.back();
                if (parent->ChildCount() == 0 && !parent->Text().isEmpty() && parent->Text().trimmed().isEmpty())
                    parent->SetText(QString());
                parent->AddChild(std::move(element));
            }
            stack.push_back(raw);
        } else if (token == QXmlStreamReader::EndElement) {
            if (!stack.empty())
                stack.pop_back();
        } else if (token == QXmlStreamReader::Characters) {
            // White space between child elements is layout, never content.
            if (stack.empty() || (reader.isWhitespace() && stack.back()->ChildCount() > 0))
                continue;
            if (qint64(stack.back()->Text().size()) + reader.text().size() > kMaxTextLength)
                return fail(Tr("An XML element holds more than %1 characters of text.").arg(kMaxTextLength));
            stack.back()->AppendText(reader.text());
        }
    }
    if (reader.hasError())
        return fail(Tr("The XML is not well formed (line %1, column %2): %3")
                        .arg(reader.lineNumber())
                        .arg(reader.columnNumber())
                        .arg(reader.errorString()));
    if (!root)
        return fail(Tr("The XML has no root element."));
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
    return uri.isEmpty() || uri == OfdNamespace() || uri == QLatin1String("http://www.ofdspec.org")
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
    std::unique_ptr<OFD_XmlElement> root = ParseWith(data, true, maxDepth, &firstError);
    if (root)
        return root;
    // Some producers use the "ofd" prefix without declaring it.
    QString plainError;
    root = ParseWith(data, false, maxDepth, &plainError);
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
        if (attribute.name == name)
            return true;
    return false;
}

QString OFD_XmlElement::Attribute(const QString &name, const QString &fallback) const
{
    for (const Attr &attribute : m_attributes)
        if (attribute.name == name)
            return attribute.value;
    return fallback;
}

void OFD_XmlElement::SetAttribute(const QString &name, const QString &value, const QString &namespaceUri)
{
    for (Attr &attribute : m_attributes) {
        if (attribute.name == name) {
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
    bool ok = false;
    const int value = Attribute(name).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

bool OFD_XmlElement::BoolAttribute(const QString &name, bool fallback) const
{
    bool value = false;
    return ParseBool(Attribute(name), value) ? value : fallback;
}

QString OFD_XmlElement::AttributeOrChild(const QString &name) const
{
    if (HasAttribute(name))
        return Attribute(name);
    return ChildText(name).trimmed();
}

bool OFD_XmlElement::ParseNumbers(const QString &text, QVector<double> &numbers)
{
    numbers.clear();
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
        bool ok = false;
        const double value = QStringRef(&text, i, end - i).toDouble(&ok);
        if (!ok || !InFloatRange(value)) {
            numbers.clear();
            return false;
        }
        numbers.append(value);
        i = end;
    }
    return true;
}

bool OFD_XmlElement::ParseDouble(const QString &text, double &value)
{
    bool ok = false;
    const double parsed = text.trimmed().toDouble(&ok);
    if (!ok || !InFloatRange(parsed))
        return false;
    value = parsed;
    return true;
}

bool OFD_XmlElement::ParseUInt(const QString &text, uint32_t &value)
{
    bool ok = false;
    const uint parsed = text.trimmed().toUInt(&ok);
    if (!ok)
        return false;
    value = parsed;
    return true;
}

bool OFD_XmlElement::ParseBool(const QString &text, bool &value)
{
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
