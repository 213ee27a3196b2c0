#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class QXmlStreamWriter;

// A parsed XML element with its attributes, text and child elements (no comments, no
// processing instructions). Parts are read into these trees so that the readers do not
// depend on element order, and parts we rewrite keep what we do not model.
class OFD_XmlElement
{
public:
    struct Attr
    {
        QString namespaceUri;
        QString name;
        QString value;
    };

    static const QString &OfdNamespace();
    // False for foreign namespaces; true for OFD's (with or without "/2016") and for none.
    static bool IsOfdNamespace(const QString &uri);

    // Null with a reason for text that is not well formed or nests deeper than `maxDepth`.
    static std::unique_ptr<OFD_XmlElement> Parse(const QByteArray &data, QString *error, int maxDepth = 256);

    explicit OFD_XmlElement(const QString &name = QString(), const QString &namespaceUri = OfdNamespace());
    std::unique_ptr<OFD_XmlElement> Clone() const;

    const QString &Name() const { return m_name; }
    const QString &NamespaceUri() const { return m_namespaceUri; }
    bool IsOfd() const { return IsOfdNamespace(m_namespaceUri); }
    // An OFD element of this local name.
    bool Is(const QString &name) const { return SameName(m_name, name) && IsOfd(); }

    // Attributes are found by local name whatever their prefix.
    bool HasAttribute(const QString &name) const;
    QString Attribute(const QString &name, const QString &fallback = QString()) const;
    void SetAttribute(const QString &name, const QString &value, const QString &namespaceUri = QString());
    void RemoveAttribute(const QString &name);
    // For readers that know the name is new.
    void AppendAttribute(const QString &name, const QString &value) { m_attributes.append(Attr{QString(), name, value}); }
    void ReserveAttributes(int count) { m_attributes.reserve(count); }
    const QVector<Attr> &Attributes() const { return m_attributes; }
    // Typed reads: text that is not such a value gives the fallback.
    double DoubleAttribute(const QString &name, double fallback) const;
    uint32_t UIntAttribute(const QString &name, uint32_t fallback = 0) const;
    int IntAttribute(const QString &name, int fallback) const;
    bool BoolAttribute(const QString &name, bool fallback) const;
    // The attribute, or else the text of a child element of that name (some producers write
    // attributes as children).
    QString AttributeOrChild(const QString &name) const;

    // Numbers within float's range separated by white space (or commas); false when a token is not one.
    static bool ParseNumbers(const QString &text, QVector<double> &numbers);
    // Exactly `count` such numbers.
    static bool ParseNumbers(const QString &text, double *numbers, int count);
    static bool ParseDouble(const QString &text, double &value);
    static bool ParseUInt(const QString &text, uint32_t &value);
    static bool ParseBool(const QString &text, bool &value);

    const QString &Text() const { return m_text; }
    void SetText(const QString &text) { m_text = text; }
    void AppendText(const QStringRef &text) { m_text.append(text); }

    int ChildCount() const { return int(m_children.size()); }
    OFD_XmlElement *ChildAt(int index) const { return m_children[size_t(index)].get(); }
    // The first OFD child of that local name, or null.
    OFD_XmlElement *Child(const QString &name) const;
    QVector<OFD_XmlElement *> Children(const QString &name) const;
    QString ChildText(const QString &name) const;
    OFD_XmlElement *AddChild(std::unique_ptr<OFD_XmlElement> child, int index = -1);
    OFD_XmlElement *AddChild(const QString &name, const QString &text = QString());
    std::unique_ptr<OFD_XmlElement> TakeChild(int index);
    int IndexOf(const OFD_XmlElement *child) const;
    // Moves the children into the order of `names`; children of other names keep their place
    // after the known ones.
    void SortChildren(const QStringList &names);

    // OFD elements (and unqualified ones) are written with the "ofd" prefix in OFD's namespace.
    void Write(QXmlStreamWriter &writer) const;
    // A whole part: XML declaration, this element as root, UTF-8.
    QByteArray ToDocument() const;

private:
    // Readers look names up by the hundred per element: compared here without a call into Qt
    // for the many that differ in length or share their text.
    static bool SameName(const QString &a, const QString &b)
    {
        return a.size() == b.size()
            && (a.constData() == b.constData()
                || std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(QChar)) == 0);
    }

    QString m_name;
    QString m_namespaceUri;
    QVector<Attr> m_attributes;
    QString m_text;
    std::vector<std::unique_ptr<OFD_XmlElement>> m_children;
};
