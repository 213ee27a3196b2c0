#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

class QXmlStreamWriter;

// A parsed XML element with its attributes, text and child elements (no comments, no
// processing instructions). Parts are read into these trees so that the readers do not
// depend on element order, and parts we rewrite keep what we do not model.
// A tree lives in one arena owned by its root: its elements, attributes and texts (in UTF-8)
// are freed together with the root. Texts handed out as QString are copies.
class OFD_XmlElement
{
public:
    static const QString &OfdNamespace();
    // False for foreign namespaces; true for OFD's (with or without "/2016") and for none.
    static bool IsOfdNamespace(const QString &uri);

    // Null with a reason for text that is not well formed or nests deeper than `maxDepth`.
    static std::unique_ptr<OFD_XmlElement> Parse(const QByteArray &data, QString *error, int maxDepth = 256);

    explicit OFD_XmlElement(const QString &name = QString(), const QString &namespaceUri = OfdNamespace());
    ~OFD_XmlElement();
    OFD_XmlElement(const OFD_XmlElement &) = delete;
    OFD_XmlElement &operator=(const OFD_XmlElement &) = delete;
    std::unique_ptr<OFD_XmlElement> Clone() const;

    const QString &Name() const { return *m_name; }
    const QString &NamespaceUri() const { return *m_namespaceUri; }
    bool IsOfd() const { return m_ofd; }
    // An OFD element of this local name.
    bool Is(const QString &name) const { return m_ofd && SameName(*m_name, name); }

    // Attributes are found by local name whatever their prefix.
    bool HasAttribute(const QString &name) const { return Find(name) != nullptr; }
    QString Attribute(const QString &name, const QString &fallback = QString()) const;
    // The value in UTF-8, valid while the tree lives; empty when there is none.
    std::string_view Utf8Attribute(const QString &name) const;
    void SetAttribute(const QString &name, const QString &value, const QString &namespaceUri = QString());
    void RemoveAttribute(const QString &name);
    int AttributeCount() const { return m_attributeCount; }
    const QString &AttributeName(int index) const { return *m_attributes[index].name; }
    const QString &AttributeNamespaceUri(int index) const { return *m_attributes[index].namespaceUri; }
    QString AttributeValue(int index) const;
    // Typed reads: text that is not such a value gives the fallback.
    double DoubleAttribute(const QString &name, double fallback) const;
    uint32_t UIntAttribute(const QString &name, uint32_t fallback = 0) const;
    int IntAttribute(const QString &name, int fallback) const;
    bool BoolAttribute(const QString &name, bool fallback) const;
    // Exactly `count` numbers, as ParseNumbers reads them; false when absent or not so.
    bool NumbersAttribute(const QString &name, double *numbers, int count) const;
    bool NumbersAttribute(const QString &name, QVector<double> &numbers) const;
    // The attribute, or else the text of a child element of that name (some producers write
    // attributes as children).
    QString AttributeOrChild(const QString &name) const;

    // Numbers within float's range separated by white space (or commas); false when a token is not one.
    static bool ParseNumbers(const QString &text, QVector<double> &numbers);
    // Exactly `count` such numbers.
    static bool ParseNumbers(const QString &text, double *numbers, int count);
    // The same for UTF-8 text.
    static bool ParseNumbers(std::string_view text, double *numbers, int count);
    static bool ParseDouble(const QString &text, double &value);
    // The same for UTF-8 text.
    static bool ParseDouble(std::string_view text, double &value);
    static bool ParseUInt(const QString &text, uint32_t &value);
    static bool ParseBool(const QString &text, bool &value);

    QString Text() const;
    // The text in UTF-8, valid while the tree lives.
    std::string_view Utf8Text() const { return std::string_view(m_text, size_t(m_textLength)); }
    void SetText(const QString &text);

    int ChildCount() const { return m_childCount; }
    OFD_XmlElement *ChildAt(int index) const { return m_children[index]; }
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
    class Arena;
    class Builder;
    struct Names;
    struct Attr
    {
        const QString *name;
        const QString *namespaceUri;
        const char *value; // UTF-8
        int length;
    };

    // An element in `arena`, freed with it.
    OFD_XmlElement(Arena *arena, const QString *name, const QString *namespaceUri);
    static OFD_XmlElement *Place(Arena *arena, const QString *name, const QString *namespaceUri);
    size_t Footprint() const;
    void CopyContent(const OFD_XmlElement &source, Names &names);
    const Attr *Find(const QString &name) const;
    void PutAttribute(const QString *name, const QString *namespaceUri, const char *value, int length);
    void Insert(OFD_XmlElement *child, int index);

    // Readers look names up by the hundred per element: compared here without a call into Qt
    // for the many that differ in length or share their text.
    static bool SameName(const QString &a, const QString &b)
    {
        return a.size() == b.size()
            && (a.constData() == b.constData()
                || std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(QChar)) == 0);
    }

    Arena *m_arena;
    const QString *m_name;
    const QString *m_namespaceUri;
    Attr *m_attributes = nullptr;
    OFD_XmlElement **m_children = nullptr;
    const char *m_text = nullptr;
    int m_textLength = 0;
    int m_attributeCount = 0;
    int m_attributeRoom = 0;
    int m_childCount = 0;
    int m_childRoom = 0;
    bool m_ofd;
    bool m_placed;     // in m_arena; otherwise on the heap, owning m_arena
};
