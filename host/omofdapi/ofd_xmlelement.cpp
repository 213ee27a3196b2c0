#include "ofd_xmlelement.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QtMath>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

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

std::unique_ptr<OFD_XmlElement> ParseWith(const QByteArray &data, bool namespaces, int maxDepth, QString *error)
{
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(namespaces);
    std::unique_ptr<OFD_XmlElement> root;
    std::vector<OFD_XmlElement *> stack;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (int(stack.size()) >= maxDepth) {
                if (error)
                    *error = Tr("The XML nests deeper than %1 elements.").arg(maxDepth);
                return nullptr;
            }
            QString name;
            QString uri;
            if (namespaces) {
                name = reader.name().toString();
                uri = reader.namespaceUri().toString();
            } else {
                SplitQualified(reader.qualifiedName().toString(), name, uri);
            }
            auto element = std::make_unique<OFD_XmlElement>(name, uri);
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes) {
                if (namespaces) {
                    element->SetAttribute(attribute.name().toString(), attribute.value().toString(),
                                          attribute.namespaceUri().toString());
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
                stack.back()->AddChild(std::move(element));
            }
            stack.push_back(raw);
        } else if (token == QXmlStreamReader::EndElement) {
            if (!stack.empty())
                stack.pop_back();
        } else if (token == QXmlStreamReader::Characters) {
            if (!stack.empty())
                stack.back()->SetText(stack.back()->Text() + reader.text());
        }
    }
    if (reader.hasError()) {
        if (error)
            *error = Tr("The XML is not well formed (line %1, column %2): %3")
                         .arg(reader.lineNumber())
                         .arg(reader.columnNumber())
                         .arg(reader.errorString());
        return nullptr;
    }
    if (!root && error)
        *error = Tr("The XML has no root element.");
    return root;
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
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QVector<QStringRef> tokens = text.splitRef(separators, Qt::SkipEmptyParts);
    for (const QStringRef &token : tokens) {
        bool ok = false;
        const double value = token.toDouble(&ok);
        if (!ok || !qIsFinite(value)) {
            numbers.clear();
            return false;
        }
        numbers.append(value);
    }
    return true;
}

bool OFD_XmlElement::ParseDouble(const QString &text, double &value)
{
    bool ok = false;
    const double parsed = text.trimmed().toDouble(&ok);
    if (!ok || !qIsFinite(parsed))
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
