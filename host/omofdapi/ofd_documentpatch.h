#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class OFD_XmlElement;

// Edits Document.xml as text where a save changes only MaxUnitID and adds the annotation index
// reference: rewriting the whole part costs as much as the rest of a save of a large package,
// and the text keeps every byte we do not change. Each edit is made only where the text leaves
// no doubt about what it changes; otherwise the caller writes the part from its tree.
class OFD_DocumentPatch
{
public:
    // Where a rewrite sorts `child` among `names`: unknown and foreign elements go last.
    static int Rank(const OFD_XmlElement &child, const QStringList &names);
    // Whether the tree's children are already in the order a rewrite sorts them into.
    static bool InOrder(const OFD_XmlElement &element, const QStringList &names);

    // `bytes` with the digits of its one MaxUnitID element replaced; false when the text has
    // other than exactly one such element with plain digits.
    static bool SetMaxUnitID(QByteArray &bytes, quint32 value);
    // `bytes` with an Annotations element of `location` as the last child of the root; false
    // when the root's end is not plain to find or the text is not in UTF-8.
    static bool AppendAnnotations(QByteArray &bytes, const QString &location);

private:
    static bool IsUtf8(const QByteArray &bytes);
    static bool IsNameChar(char c);
};
