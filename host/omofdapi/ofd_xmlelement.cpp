#include "ofd_xmlelement.h"

#include "ofd_xmlparser.h"

#include <QCoreApplication>
#include <QtMath>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

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

const QString &NoText()
{
    static const QString none;
    return none;
}

inline bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether UTF-8 text is empty or white space only as QString::trimmed sees it.
bool IsBlank(const char *text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const uchar c = uchar(text[i]);
        if (c >= 0x80)
            return QString::fromUtf8(text, int(length)).trimmed().isEmpty();
        if (c != ' ' && (c < '\t' || c > '\r'))
            return false;
    }
    return true;
}

// The length of UTF-8 text in UTF-16 code units: one per sequence, two for those of four bytes.
qint64 Utf16Length(const std::string &text)
{
    qint64 units = 0;
    for (const char c : text)
        units += (uchar(c) & 0xC0) != 0x80 ? 1 + (uchar(c) >= 0xF0) : 0;
    return units;
}

} // namespace

// Bump allocation in blocks that grow as the tree does. Its own record sits at the start of its
// first block, so a small tree costs one allocation.
class OFD_XmlElement::Arena
{
public:
    static Arena *Create(size_t firstBlock)
    {
        const size_t size = std::max(firstBlock, kOverhead + 64);
        char *memory = static_cast<char *>(::operator new(size));
        Arena *arena = new (memory + sizeof(Block)) Arena();
        arena->m_blocks = new (memory) Block{nullptr};
        arena->m_at = memory + kOverhead;
        arena->m_end = memory + size;
        arena->m_nextSize = std::min(size * 2, kLargestBlock);
        return arena;
    }

    static void Destroy(Arena *arena)
    {
        for (Kept *kept = arena->m_kept; kept; kept = kept->next)
            kept->text.~QString();
        // The first block, which holds the arena, comes last.
        for (Block *block = arena->m_blocks; block;) {
            Block *next = block->next;
            ::operator delete(block);
            block = next;
        }
    }

    void *Allocate(size_t size, size_t align = alignof(void *))
    {
        char *at = reinterpret_cast<char *>((reinterpret_cast<quintptr>(m_at) + align - 1) & ~quintptr(align - 1));
        if (at > m_end || size_t(m_end - at) < size)
            return Grow(size);
        m_at = at + size;
        return at;
    }

    template <class T>
    T *AllocateArray(size_t count)
    {
        return static_cast<T *>(Allocate(count * sizeof(T), alignof(T)));
    }

    // Never null, so that an empty value stays an empty string rather than none.
    const char *Copy(const char *bytes, size_t length)
    {
        if (length == 0)
            return "";
        char *at = static_cast<char *>(Allocate(length, 1));
        std::memcpy(at, bytes, length);
        return at;
    }

    // A string that lives as long as the arena; the common ones are shared, not kept.
    const QString *Keep(const QString &text)
    {
        if (text.isEmpty())
            return &NoText();
        const QString &ofd = OfdNamespace();
        if (text.size() == ofd.size() && (text.constData() == ofd.constData() || text == ofd))
            return &ofd;
        Kept *kept = new (Allocate(sizeof(Kept), alignof(Kept))) Kept{text, m_kept};
        m_kept = kept;
        return &kept->text;
    }

    // Some element of the tree holds a child that has an arena of its own.
    bool Adopts() const { return m_adopts; }
    void Adopt() { m_adopts = true; }

private:
    struct Block
    {
        Block *next;
    };
    struct Kept
    {
        QString text;
        Kept *next;
    };
    static constexpr size_t kLargestBlock = size_t(4) << 20;
    static const size_t kOverhead;

    Arena() = default;

    void *Grow(size_t size)
    {
        // A large request gets a block of its own; the current block stays in use.
        if (size + sizeof(Block) + alignof(std::max_align_t) > m_nextSize) {
            char *memory = static_cast<char *>(::operator new(sizeof(Block) + alignof(std::max_align_t) + size));
            m_blocks->next = new (memory) Block{m_blocks->next};
            return memory + alignof(std::max_align_t);
        }
        char *memory = static_cast<char *>(::operator new(m_nextSize));
        m_blocks = new (memory) Block{m_blocks};
        m_at = memory + alignof(std::max_align_t);
        m_end = memory + m_nextSize;
        m_nextSize = std::min(m_nextSize * 2, kLargestBlock);
        void *at = m_at;
        m_at += size;
        return at;
    }

    Block *m_blocks = nullptr;
    char *m_at = nullptr;
    char *m_end = nullptr;
    Kept *m_kept = nullptr;
    size_t m_nextSize = 0;
    bool m_adopts = false;
};

const size_t OFD_XmlElement::Arena::kOverhead =
    (sizeof(Block) + sizeof(Arena) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);

// The strings of one tree copied into another arena, each kept there once.
struct OFD_XmlElement::Names
{
    explicit Names(Arena *into) : arena(into) {}

    const QString *Map(const QString *source)
    {
        if (source == &NoText() || source == &OfdNamespace())
            return source;
        for (const auto &pair : pairs)
            if (pair.first == source)
                return pair.second;
        const QString *kept = arena->Keep(*source);
        // Trees use a few dozen names; beyond those each is kept anew.
        if (pairs.size() < 64)
            pairs.emplace_back(source, kept);
        return kept;
    }

    Arena *arena;
    std::vector<std::pair<const QString *, const QString *>> pairs;
};

namespace {

// Element and attribute names repeat on every element: each is kept once per tree and found
// again by its bytes.
class NameCache
{
public:
    NameCache() : m_slots(64) {}

    // `keep` makes the string of a name not seen before and a lasting copy of its bytes.
    template <class Keep, class Copy>
    const QString *Get(const char *text, size_t length, Keep keep, Copy copy)
    {
        // Up to sixteen bytes, which is most names, are compared as two words.
        uint64_t head = 0;
        uint64_t last = 0;
        if (length >= 8) {
            std::memcpy(&head, text, 8);
            std::memcpy(&last, text + length - 8, 8);
        } else {
            for (size_t i = 0; i < length; ++i)
                head |= uint64_t(uchar(text[i])) << (8 * i);
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Home(Slot{head, last, length, nullptr, nullptr}, mask);; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (!slot.text) {
                const QString *kept = keep(QString::fromUtf8(text, int(length)));
                slot = Slot{head, last, length, copy(text, length), kept};
                if (++m_used * 2 > m_slots.size())
                    Grow();
                return kept;
            }
            if (slot.head == head && slot.last == last && slot.length == length
                && (length <= 16 || std::memcmp(slot.bytes + 8, text + 8, length - 16) == 0))
                return slot.text;
        }
    }

private:
    struct Slot
    {
        uint64_t head = 0;
        uint64_t last = 0;
        size_t length = 0;
        const char *bytes = nullptr;
        const QString *text = nullptr;
    };

    static size_t Home(const Slot &slot, size_t mask)
    {
        return size_t((((slot.head ^ slot.length) * 0x9E3779B97F4A7C15ull ^ slot.last) * 0xC2B2AE3D27D4EB4Full) >> 40) & mask;
    }

    void Grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (!slot.text)
                continue;
            size_t i = Home(slot, mask);
            while (m_slots[i].text)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots; // a power of two, at most half full
    size_t m_used = 0;
};

} // namespace

// Builds the element tree from the parser's stream. With `namespaces`, prefixes resolve
// through their declarations and an undeclared one ends the build (the caller then reads the
// part again without); without, "ofd" and no prefix mean OFD and other prefixes stand for
// themselves.
class OFD_XmlElement::Builder : public OFD_XmlParser::Handler
{
public:
    Builder(bool namespaces, int maxDepth, size_t inputSize)
        : m_namespaces(namespaces), m_maxDepth(maxDepth),
          // Elements, attributes and texts take about twice the bytes of the text they come from.
          m_arena(Arena::Create(std::clamp<size_t>(inputSize * 2, 1024, size_t(1) << 20)))
    {
    }
    ~Builder() override
    {
        if (!m_rootMade)
            Arena::Destroy(m_arena);
    }
    Builder(const Builder &) = delete;
    Builder &operator=(const Builder &) = delete;

    std::unique_ptr<OFD_XmlElement> TakeRoot() { return std::move(m_root); }
    bool NamespaceFailed() const { return m_namespaceFailed; }

    void StartElement(OFD_XmlParser &parser, const char *name, const char **attributes) override
    {
        // Layout white space before a first child would be stored only to be dropped below.
        if (!m_textSignificant && !m_stack.empty() && TopText().empty())
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
        // Where each name's colon is, the element's last.
        m_colons.resize(size_t(count) + 1);
        if (!CheckName(parser, name, m_colons[size_t(count)]))
            return;
        for (int i = 0; i < count; ++i)
            if (!CheckName(parser, attributes[2 * i], m_colons[size_t(i)]))
                return;
        OFD_XmlElement *element =
            m_namespaces ? ResolvedElement(parser, name, attributes, count) : PlainElement(name, attributes, count);
        if (!element)
            return;
        if (!m_stack.empty()) {
            std::string &parentText = TopText();
            if (m_children.size() == m_stack.back().firstChild && !parentText.empty()
                && IsBlank(parentText.data(), parentText.size())) {
                parentText.clear();
                ForgetUnits();
            }
            m_children.push_back(element);
        }
        m_stack.push_back({element, m_children.size()});
        if (m_texts.size() < m_stack.size())
            m_texts.emplace_back();
    }

    void EndElement(OFD_XmlParser &parser) override
    {
        Flush(parser);
        if (!m_stack.empty()) {
            const Open open = m_stack.back();
            OFD_XmlElement *element = open.element;
            const size_t count = m_children.size() - open.firstChild;
            if (count > 0) {
                element->m_children = m_arena->AllocateArray<OFD_XmlElement *>(count);
                std::copy(m_children.begin() + qptrdiff(open.firstChild), m_children.end(), element->m_children);
                element->m_childCount = element->m_childRoom = int(count);
                m_children.resize(open.firstChild);
            }
            std::string &text = TopText();
            if (!text.empty()) {
                element->m_text = m_arena->Copy(text.data(), text.size());
                element->m_textLength = int(text.size());
                text.clear();
            }
            ForgetUnits();
            m_stack.pop_back();
        }
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
            const bool space = std::all_of(text, text + length, [](char c) { return IsXmlSpace(c); });
            m_textSignificant = !space || (length == 1 && parser.TextIsReference());
        }
        // Layout comes a line break and an indent at a time.
        if (length == 1)
            m_text.push_back(*text);
        else
            m_text.append(text, size_t(length));
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
        const QString *uri;
        size_t depth;       // elements open around the declaring one
    };
    struct Open
    {
        OFD_XmlElement *element;
        size_t firstChild; // where its children start in m_children
    };

    std::string &TopText() { return m_texts[m_stack.size() - 1]; }
    void ForgetUnits()
    {
        if (m_units.size() >= m_stack.size())
            m_units[m_stack.size() - 1] = -1;
    }

    // White space between child elements is layout, never content.
    void Flush(OFD_XmlParser &parser)
    {
        if (m_text.empty())
            return;
        if (!m_stack.empty() && (m_textSignificant || m_children.size() == m_stack.back().firstChild)) {
            std::string &text = TopText();
            // Characters are counted only where the bytes could hold too many.
            if (text.size() + m_text.size() > size_t(kMaxTextLength)) {
                if (m_units.size() < m_stack.size())
                    m_units.resize(m_stack.size(), -1);
                qint64 &units = m_units[m_stack.size() - 1];
                if (units < 0)
                    units = Utf16Length(text);
                units += Utf16Length(m_text);
                if (units > kMaxTextLength)
                    parser.Fail(Tr("An XML element holds more than %1 characters of text.").arg(kMaxTextLength));
            } else if (m_units.size() >= m_stack.size() && m_units[m_stack.size() - 1] >= 0) {
                m_units[m_stack.size() - 1] += Utf16Length(m_text);
            }
            text += m_text;
        }
        m_text.clear();
        m_textSignificant = false;
    }

    // A name holds at most one colon, with a name on either side of it.
    static bool CheckName(OFD_XmlParser &parser, const char *name, const char *&colon)
    {
        colon = std::strchr(name, ':');
        if (!colon || (colon != name && colon[1] && !std::strchr(colon + 1, ':')))
            return true;
        parser.Fail(parser.Malformed(Tr("the name %1 is no qualified name.").arg(QString::fromUtf8(name))));
        return false;
    }

    const QString *Kept(const char *text, size_t length)
    {
        return m_names.Get(
            text, length, [this](const QString &fresh) { return m_arena->Keep(fresh); },
            [this](const char *bytes, size_t size) { return m_arena->Copy(bytes, size); });
    }
    const QString *Kept(const char *text) { return Kept(text, std::strlen(text)); }

    // The root owns the arena from its start, so that a failed build frees what it made.
    OFD_XmlElement *NewElement(const QString *name, const QString *uri, int attributes)
    {
        OFD_XmlElement *element;
        if (!m_rootMade) {
            element = new OFD_XmlElement(m_arena, name, uri);
            element->m_placed = false;
            m_root.reset(element);
            m_rootMade = true;
        } else {
            element = Place(m_arena, name, uri);
        }
        if (attributes > 0) {
            element->m_attributes = m_arena->AllocateArray<Attr>(size_t(attributes));
            element->m_attributeRoom = attributes;
        }
        return element;
    }

    void PutValue(OFD_XmlElement *element, const QString *name, const QString *uri, const char *value)
    {
        const size_t length = std::strlen(value);
        element->PutAttribute(name, uri, m_arena->Copy(value, length), int(length));
    }

    OFD_XmlElement *PlainElement(const char *name, const char **attributes, int count)
    {
        const QString *uri = nullptr;
        const QString *local = Split(name, m_colons[size_t(count)], &uri);
        OFD_XmlElement *element = NewElement(local, uri, count);
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (qualified[0] == 'x' && std::strncmp(qualified, "xmlns", 5) == 0)
                continue;
            PutValue(element, Split(qualified, m_colons[size_t(i)], nullptr), m_none, attributes[2 * i + 1]);
        }
        return element;
    }

    const QString *Split(const char *qualified, const char *colon, const QString **uri)
    {
        if (uri) {
            *uri = m_none;
            if (colon && !(colon - qualified == 3 && qstrnicmp(qualified, "ofd", 3) == 0)) {
                const std::string_view prefix(qualified, size_t(colon - qualified));
                auto known = std::find_if(m_prefixUris.begin(), m_prefixUris.end(),
                                          [prefix](const auto &pair) { return pair.first == prefix; });
                if (known == m_prefixUris.end()) {
                    const QString text = QStringLiteral("urn:undeclared-prefix:")
                        + QString::fromUtf8(prefix.data(), int(prefix.size()));
                    known = m_prefixUris.insert(m_prefixUris.end(), {std::string(prefix), m_arena->Keep(text)});
                }
                *uri = known->second;
            }
        }
        return Kept(colon ? colon + 1 : qualified);
    }

    OFD_XmlElement *ResolvedElement(OFD_XmlParser &parser, const char *name, const char **attributes, int count)
    {
        int declarations = 0;
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (!IsDeclaration(qualified))
                continue;
            ++declarations;
            const char *value = attributes[2 * i + 1];
            const QString *uri = m_arena->Keep(QString::fromUtf8(value));
            if (qualified[5] == '\0')
                m_bindings.push_back({std::string(), uri, m_stack.size()});
            else
                m_bindings.push_back({std::string(qualified + 6), uri, m_stack.size()});
        }
        const QString *uri = nullptr;
        const char *local = nullptr;
        if (!Resolve(parser, name, m_colons[size_t(count)], true, uri, local))
            return nullptr;
        OFD_XmlElement *element = NewElement(Kept(local), uri, count - declarations);
        // Only prefixed names can repeat a local name; without them each attribute is new.
        bool prefixed = false;
        for (int i = 0; i < count && !prefixed; ++i)
            prefixed = m_colons[size_t(i)] && !IsDeclaration(attributes[2 * i]);
        for (int i = 0; i < count; ++i) {
            const char *qualified = attributes[2 * i];
            if (IsDeclaration(qualified))
                continue;
            const QString *attributeUri = nullptr;
            const char *attributeLocal = nullptr;
            if (!Resolve(parser, qualified, m_colons[size_t(i)], false, attributeUri, attributeLocal))
                return nullptr;
            const QString *localName = Kept(attributeLocal);
            if (!prefixed) {
                const char *value = attributes[2 * i + 1];
                const size_t length = std::strlen(value);
                Attr &attribute = element->m_attributes[element->m_attributeCount++];
                attribute = Attr{localName, m_none, m_arena->Copy(value, length), int(length)};
                continue;
            }
            // Two prefixes of one namespace name the same attribute.
            for (int j = 0; j < i; ++j) {
                const QString *otherUri = nullptr;
                const char *otherLocal = nullptr;
                if (IsDeclaration(attributes[2 * j]) || !m_colons[size_t(j)] || !m_colons[size_t(i)])
                    continue;
                Resolve(parser, attributes[2 * j], m_colons[size_t(j)], false, otherUri, otherLocal);
                if (*otherUri == *attributeUri && std::strcmp(otherLocal, attributeLocal) == 0)
                    return NamespaceFailure(parser, Tr("the attribute %1 is repeated.").arg(QString::fromUtf8(qualified)));
            }
            PutValue(element, localName, attributeUri, attributes[2 * i + 1]);
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
    bool Resolve(OFD_XmlParser &parser, const char *qualified, const char *colon, bool element, const QString *&uri,
                 const char *&local)
    {
        local = colon ? colon + 1 : qualified;
        if (!colon) {
            uri = m_none;
            if (element)
                for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
                    if (it->prefix.empty()) {
                        uri = it->uri;
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
                if (it->uri->isEmpty())
                    break;
                uri = it->uri;
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
    Arena *const m_arena;
    const QString *const m_none = &NoText();
    std::unique_ptr<OFD_XmlElement> m_root;
    bool m_rootMade = false; // the root, once made, owns the arena
    NameCache m_names;
    std::vector<std::pair<std::string, const QString *>> m_prefixUris; // undeclared prefixes
    std::vector<Open> m_stack;
    std::vector<OFD_XmlElement *> m_children; // of the open elements, each one's after its own
    std::vector<std::string> m_texts;         // of the open elements by depth; keep their room
    std::vector<qint64> m_units;              // their length in characters, where counted, else -1
    std::vector<Binding> m_bindings;
    std::vector<const char *> m_colons; // of the names of the element being started, or null
    int m_elements = 0;
    std::string m_text;            // the run of text since the last markup; keeps its room between runs
    bool m_textSignificant = false; // it is more than layout white space
    bool m_namespaceFailed = false;
};

namespace {

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

ushort CodeOf(QChar c)
{
    return c.unicode();
}

ushort CodeOf(char c)
{
    return uchar(c);
}

// Plain decimals ("-12.5") of up to 15 digits, which is what parts nearly always hold: their
// digits and their power of ten are exact doubles, so one division rounds exactly as a full
// conversion does, at a fraction of its cost. False for anything else.
template <class Char>
bool PlainDecimal(const Char *data, int size, double &value)
{
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int at = 0;
    const bool negative = size > 0 && CodeOf(data[0]) == '-';
    if (negative)
        ++at;
    const int first = at;
    qint64 digits = 0;
    int count = 0;
    int point = -1;
    for (; at < size; ++at) {
        const ushort c = CodeOf(data[at]);
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
        || (CodeOf(data[first]) == '0' && first + 1 < size && CodeOf(data[first + 1]) != '.'))
        return false;
    const double magnitude = point < 0 ? double(digits) : double(digits) / powers[size - 1 - point];
    value = negative ? -magnitude : magnitude;
    return true;
}

bool IsSeparator(QChar c)
{
    return c.isSpace() || c == QLatin1Char(',');
}

bool IsSeparator(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == ',';
}

double FullConversion(const QChar *data, int size, bool &ok)
{
    return QString::fromRawData(data, size).toDouble(&ok);
}

double FullConversion(const char *data, int size, bool &ok)
{
    return QString::fromLatin1(data, size).toDouble(&ok);
}

// Calls `take` with each number of `data`; false when a token is not one or `take` refuses.
template <class Char, class Take>
bool EachNumberIn(const Char *data, int size, Take take)
{
    for (int i = 0; i < size;) {
        if (IsSeparator(data[i])) {
            ++i;
            continue;
        }
        int end = i;
        while (end < size && !IsSeparator(data[end]))
            ++end;
        double value = 0;
        bool ok = PlainDecimal(data + i, end - i, value);
        if (!ok)
            value = FullConversion(data + i, end - i, ok);
        if (!ok || !InFloatRange(value) || !take(value))
            return false;
        i = end;
    }
    return true;
}

template <class Take>
bool EachNumber(const QString &text, Take take)
{
    return EachNumberIn(text.constData(), text.size(), take);
}

bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// The same over UTF-8 as stored, without making a QString of it; text beyond ASCII, where
// more characters count as space, takes the road above.
template <class Take>
bool EachNumber(std::string_view text, Take take)
{
    if (!IsAscii(text))
        return EachNumber(QString::fromUtf8(text.data(), int(text.size())), take);
    return EachNumberIn(text.data(), int(text.size()), take);
}

// Exactly `count` numbers into `numbers`.
template <class Text>
bool CountedNumbers(const Text &text, double *numbers, int count)
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

template <class Take>
bool EachNumberOf(const OFD_XmlElement &element, const QString &name, Take take)
{
    // A missing attribute has no bytes at all; an empty one has its empty text.
    const std::string_view text = element.Utf8Attribute(name);
    return text.data() ? EachNumber(text, take) : EachNumber(QString(), take);
}

// Up to nine plain digits cannot overflow; anything else takes the full conversion.
template <class Char>
bool PlainDigits(const Char *data, int size, uint32_t &value)
{
    if (size <= 0 || size > 9)
        return false;
    uint32_t digits = 0;
    for (int i = 0; i < size; ++i) {
        const ushort c = CodeOf(data[i]);
        if (c < '0' || c > '9')
            return false;
        digits = digits * 10 + uint32_t(c - '0');
    }
    value = digits;
    return true;
}

bool PlainDigits(std::string_view text, uint32_t &value)
{
    return PlainDigits(text.data(), int(text.size()), value);
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
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
    auto parse = [&data, maxDepth](bool namespaces, QString *reason, bool *namespaceFailed) {
        OFD_XmlParser parser;
        Builder builder(namespaces, maxDepth, size_t(data.size()));
        const OFD_XmlParser::Result result = parser.Parse(data, builder, reason);
        *namespaceFailed = builder.NamespaceFailed();
        if (result != OFD_XmlParser::Finished)
            return std::unique_ptr<OFD_XmlElement>();
        std::unique_ptr<OFD_XmlElement> root = builder.TakeRoot();
        if (!root && reason)
            *reason = Tr("The XML has no root element.");
        return root;
    };
    QString firstError;
    bool namespaceFailed = false;
    std::unique_ptr<OFD_XmlElement> root = parse(true, &firstError, &namespaceFailed);
    if (root || !namespaceFailed) {
        if (!root && error)
            *error = firstError;
        return root;
    }
    // Some producers use the "ofd" prefix without declaring it.
    QString plainError;
    root = parse(false, &plainError, &namespaceFailed);
    if (!root && error)
        *error = firstError;
    return root;
}

OFD_XmlElement::OFD_XmlElement(const QString &name, const QString &namespaceUri)
    : m_arena(Arena::Create(512)), m_placed(false)
{
    m_name = m_arena->Keep(name);
    m_namespaceUri = m_arena->Keep(namespaceUri);
    m_ofd = IsOfdNamespace(*m_namespaceUri);
}

OFD_XmlElement::OFD_XmlElement(Arena *arena, const QString *name, const QString *namespaceUri)
    : m_arena(arena), m_name(name), m_namespaceUri(namespaceUri), m_ofd(IsOfdNamespace(*namespaceUri)), m_placed(true)
{
}

OFD_XmlElement *OFD_XmlElement::Place(Arena *arena, const QString *name, const QString *namespaceUri)
{
    return new (arena->Allocate(sizeof(OFD_XmlElement), alignof(OFD_XmlElement))) OFD_XmlElement(arena, name, namespaceUri);
}

OFD_XmlElement::~OFD_XmlElement()
{
    // Only children with arenas of their own need more than their arena's end.
    if (m_arena->Adopts()) {
        for (int i = 0; i < m_childCount; ++i) {
            OFD_XmlElement *child = m_children[i];
            if (child->m_placed)
                child->~OFD_XmlElement();
            else
                delete child;
        }
    }
    if (!m_placed)
        Arena::Destroy(m_arena);
}

std::unique_ptr<OFD_XmlElement> OFD_XmlElement::Clone() const
{
    std::unique_ptr<OFD_XmlElement> copy(new OFD_XmlElement(Arena::Create(Footprint()), nullptr, &NoText()));
    copy->m_placed = false;
    Names names(copy->m_arena);
    copy->m_name = names.Map(m_name);
    copy->m_namespaceUri = names.Map(m_namespaceUri);
    copy->m_ofd = m_ofd;
    copy->CopyContent(*this, names);
    return copy;
}

size_t OFD_XmlElement::Footprint() const
{
    size_t bytes = sizeof(OFD_XmlElement) + size_t(m_attributeCount) * sizeof(Attr)
        + size_t(m_childCount) * sizeof(OFD_XmlElement *) + size_t(m_textLength) + 64;
    for (int i = 0; i < m_attributeCount; ++i)
        bytes += size_t(m_attributes[i].length);
    for (int i = 0; i < m_childCount; ++i)
        bytes += m_children[i]->Footprint();
    return bytes;
}

void OFD_XmlElement::CopyContent(const OFD_XmlElement &source, Names &names)
{
    if (source.m_attributeCount > 0) {
        m_attributes = m_arena->AllocateArray<Attr>(size_t(source.m_attributeCount));
        m_attributeCount = m_attributeRoom = source.m_attributeCount;
        for (int i = 0; i < m_attributeCount; ++i) {
            const Attr &from = source.m_attributes[i];
            m_attributes[i] = Attr{names.Map(from.name), names.Map(from.namespaceUri),
                                   m_arena->Copy(from.value, size_t(from.length)), from.length};
        }
    }
    if (source.m_text) {
        m_text = m_arena->Copy(source.m_text, size_t(source.m_textLength));
        m_textLength = source.m_textLength;
    }
    if (source.m_childCount > 0) {
        m_children = m_arena->AllocateArray<OFD_XmlElement *>(size_t(source.m_childCount));
        m_childCount = m_childRoom = source.m_childCount;
        for (int i = 0; i < m_childCount; ++i) {
            const OFD_XmlElement &from = *source.m_children[i];
            OFD_XmlElement *child = Place(m_arena, names.Map(from.m_name), names.Map(from.m_namespaceUri));
            child->CopyContent(from, names);
            m_children[i] = child;
        }
    }
}

const OFD_XmlElement::Attr *OFD_XmlElement::Find(const QString &name) const
{
    for (int i = 0; i < m_attributeCount; ++i)
        if (SameName(*m_attributes[i].name, name))
            return &m_attributes[i];
    return nullptr;
}

QString OFD_XmlElement::Attribute(const QString &name, const QString &fallback) const
{
    const Attr *attribute = Find(name);
    return attribute ? QString::fromUtf8(attribute->value, attribute->length) : fallback;
}

std::string_view OFD_XmlElement::Utf8Attribute(const QString &name) const
{
    const Attr *attribute = Find(name);
    return attribute ? std::string_view(attribute->value, size_t(attribute->length)) : std::string_view();
}

QString OFD_XmlElement::AttributeValue(int index) const
{
    const Attr &attribute = m_attributes[index];
    return QString::fromUtf8(attribute.value, attribute.length);
}

void OFD_XmlElement::PutAttribute(const QString *name, const QString *namespaceUri, const char *value, int length)
{
    for (int i = 0; i < m_attributeCount; ++i) {
        Attr &attribute = m_attributes[i];
        if (SameName(*attribute.name, *name)) {
            attribute.value = value;
            attribute.length = length;
            return;
        }
    }
    if (m_attributeCount == m_attributeRoom) {
        const int room = std::max(4, m_attributeRoom * 2);
        Attr *grown = m_arena->AllocateArray<Attr>(size_t(room));
        std::copy(m_attributes, m_attributes + m_attributeCount, grown);
        m_attributes = grown;
        m_attributeRoom = room;
    }
    m_attributes[m_attributeCount++] = Attr{name, namespaceUri, value, length};
}

void OFD_XmlElement::SetAttribute(const QString &name, const QString &value, const QString &namespaceUri)
{
    const QByteArray bytes = value.toUtf8();
    const char *copy = m_arena->Copy(bytes.constData(), size_t(bytes.size()));
    for (int i = 0; i < m_attributeCount; ++i) {
        Attr &attribute = m_attributes[i];
        if (SameName(*attribute.name, name)) {
            attribute.value = copy;
            attribute.length = bytes.size();
            return;
        }
    }
    PutAttribute(m_arena->Keep(name), m_arena->Keep(namespaceUri), copy, bytes.size());
}

void OFD_XmlElement::RemoveAttribute(const QString &name)
{
    int kept = 0;
    for (int i = 0; i < m_attributeCount; ++i)
        if (*m_attributes[i].name != name)
            m_attributes[kept++] = m_attributes[i];
    m_attributeCount = kept;
}

double OFD_XmlElement::DoubleAttribute(const QString &name, double fallback) const
{
    const Attr *attribute = Find(name);
    if (!attribute)
        return fallback;
    double value = 0;
    return ParseDouble(std::string_view(attribute->value, size_t(attribute->length)), value) ? value : fallback;
}

uint32_t OFD_XmlElement::UIntAttribute(const QString &name, uint32_t fallback) const
{
    const Attr *attribute = Find(name);
    if (!attribute)
        return fallback;
    uint32_t value = 0;
    if (PlainDigits(std::string_view(attribute->value, size_t(attribute->length)), value))
        return value;
    return ParseUInt(QString::fromUtf8(attribute->value, attribute->length), value) ? value : fallback;
}

int OFD_XmlElement::IntAttribute(const QString &name, int fallback) const
{
    const Attr *attribute = Find(name);
    if (!attribute)
        return fallback;
    const std::string_view bytes(attribute->value, size_t(attribute->length));
    uint32_t plain = 0;
    if (PlainDigits(bytes, plain))
        return int(plain);
    const QString text = FromUtf8(bytes);
    if (text.isEmpty())
        return fallback;
    if (text.size() <= 9 && text.at(0).isDigit() && ParseUInt(text, plain))
        return int(plain);
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

bool OFD_XmlElement::BoolAttribute(const QString &name, bool fallback) const
{
    const Attr *attribute = Find(name);
    if (!attribute)
        return fallback;
    // Parts nearly always hold the plain words.
    const std::string_view bytes(attribute->value, size_t(attribute->length));
    if (bytes == "true" || bytes == "false")
        return bytes.size() == 4;
    bool value = false;
    return ParseBool(FromUtf8(bytes), value) ? value : fallback;
}

bool OFD_XmlElement::NumbersAttribute(const QString &name, double *numbers, int count) const
{
    // A missing attribute has no bytes at all; an empty one has its empty text.
    const std::string_view text = Utf8Attribute(name);
    return text.data() ? CountedNumbers(text, numbers, count) : CountedNumbers(QString(), numbers, count);
}

bool OFD_XmlElement::NumbersAttribute(const QString &name, QVector<double> &numbers) const
{
    numbers.clear();
    // Lists in parts are short: room for them at once rather than by growing.
    numbers.reserve(8);
    if (EachNumberOf(*this, name, [&numbers](double value) { numbers.append(value); return true; }))
        return true;
    numbers.clear();
    return false;
}

QString OFD_XmlElement::AttributeOrChild(const QString &name) const
{
    if (const Attr *attribute = Find(name))
        return QString::fromUtf8(attribute->value, attribute->length);
    return ChildText(name).trimmed();
}

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
    return CountedNumbers(text, numbers, count);
}

bool OFD_XmlElement::ParseNumbers(std::string_view text, double *numbers, int count)
{
    return CountedNumbers(text, numbers, count);
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

bool OFD_XmlElement::ParseDouble(std::string_view text, double &value)
{
    if (PlainDecimal(text.data(), int(text.size()), value))
        return true;
    return ParseDouble(FromUtf8(text), value);
}

bool OFD_XmlElement::ParseUInt(const QString &text, uint32_t &value)
{
    if (PlainDigits(text.constData(), text.size(), value))
        return true;
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

QString OFD_XmlElement::Text() const
{
    return m_text ? QString::fromUtf8(m_text, m_textLength) : QString();
}

void OFD_XmlElement::SetText(const QString &text)
{
    if (text.isNull()) {
        m_text = nullptr;
        m_textLength = 0;
        return;
    }
    const QByteArray bytes = text.toUtf8();
    m_text = m_arena->Copy(bytes.constData(), size_t(bytes.size()));
    m_textLength = bytes.size();
}

OFD_XmlElement *OFD_XmlElement::Child(const QString &name) const
{
    for (int i = 0; i < m_childCount; ++i)
        if (m_children[i]->Is(name))
            return m_children[i];
    return nullptr;
}

QVector<OFD_XmlElement *> OFD_XmlElement::Children(const QString &name) const
{
    QVector<OFD_XmlElement *> found;
    for (int i = 0; i < m_childCount; ++i)
        if (m_children[i]->Is(name))
            found.append(m_children[i]);
    return found;
}

QString OFD_XmlElement::ChildText(const QString &name) const
{
    const OFD_XmlElement *child = Child(name);
    return child ? child->Text() : QString();
}

void OFD_XmlElement::Insert(OFD_XmlElement *child, int index)
{
    if (m_childCount == m_childRoom) {
        // Most elements have a few children; growing one by one would copy them twice.
        const int room = std::max(4, m_childRoom * 2);
        OFD_XmlElement **grown = m_arena->AllocateArray<OFD_XmlElement *>(size_t(room));
        std::copy(m_children, m_children + m_childCount, grown);
        m_children = grown;
        m_childRoom = room;
    }
    if (index < 0 || index >= m_childCount)
        index = m_childCount;
    std::copy_backward(m_children + index, m_children + m_childCount, m_children + m_childCount + 1);
    m_children[index] = child;
    ++m_childCount;
}

OFD_XmlElement *OFD_XmlElement::AddChild(std::unique_ptr<OFD_XmlElement> child, int index)
{
    OFD_XmlElement *raw = child.release();
    m_arena->Adopt();
    Insert(raw, index);
    return raw;
}

OFD_XmlElement *OFD_XmlElement::AddChild(const QString &name, const QString &text)
{
    OFD_XmlElement *child = Place(m_arena, m_arena->Keep(name), &OfdNamespace());
    child->SetText(text);
    Insert(child, -1);
    return child;
}

std::unique_ptr<OFD_XmlElement> OFD_XmlElement::TakeChild(int index)
{
    if (index < 0 || index >= m_childCount)
        return nullptr;
    OFD_XmlElement *child = m_children[index];
    std::copy(m_children + index + 1, m_children + m_childCount, m_children + index);
    --m_childCount;
    if (!child->m_placed)
        return std::unique_ptr<OFD_XmlElement>(child);
    // One made in this tree's arena leaves as a copy; the arena keeps its bytes until the end.
    std::unique_ptr<OFD_XmlElement> copy = child->Clone();
    child->~OFD_XmlElement();
    return copy;
}

int OFD_XmlElement::IndexOf(const OFD_XmlElement *child) const
{
    for (int i = 0; i < m_childCount; ++i)
        if (m_children[i] == child)
            return i;
    return -1;
}

void OFD_XmlElement::SortChildren(const QStringList &names)
{
    auto rank = [&names](const OFD_XmlElement *child) {
        const int index = child->IsOfd() ? names.indexOf(child->Name()) : -1;
        return index < 0 ? names.size() : index;
    };
    std::stable_sort(m_children, m_children + m_childCount,
                     [&rank](const OFD_XmlElement *a, const OFD_XmlElement *b) { return rank(a) < rank(b); });
}

void OFD_XmlElement::Write(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(IsOfd() ? OfdNamespace() : *m_namespaceUri, *m_name);
    for (int i = 0; i < m_attributeCount; ++i) {
        const Attr &attribute = m_attributes[i];
        const QString value = XmlText(QString::fromUtf8(attribute.value, attribute.length));
        if (attribute.namespaceUri->isEmpty() || IsOfdNamespace(*attribute.namespaceUri))
            writer.writeAttribute(*attribute.name, value);
        else
            writer.writeAttribute(*attribute.namespaceUri, *attribute.name, value);
    }
    if (m_childCount == 0) {
        if (m_textLength > 0)
            writer.writeCharacters(XmlText(Text()));
    } else {
        if (!IsBlank(m_text, size_t(m_textLength)))
            writer.writeCharacters(XmlText(Text()));
        for (int i = 0; i < m_childCount; ++i)
            m_children[i]->Write(writer);
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
