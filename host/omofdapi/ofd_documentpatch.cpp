#include "ofd_documentpatch.h"

#include "ofd_xmlelement.h"

int OFD_DocumentPatch::Rank(const OFD_XmlElement &child, const QStringList &names)
{
    const int rank = child.IsOfd() ? names.indexOf(child.Name()) : -1;
    return rank < 0 ? names.size() : rank;
}

bool OFD_DocumentPatch::InOrder(const OFD_XmlElement &element, const QStringList &names)
{
    int last = 0;
    for (int i = 0; i < element.ChildCount(); ++i) {
        const int rank = Rank(*element.ChildAt(i), names);
        if (rank < last)
            return false;
        last = rank;
    }
    return true;
}

bool OFD_DocumentPatch::IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
        || c == '.' || quint8(c) >= 0x80;
}

// No byte order mark of UTF-16 or 32, and a declaration that names no other encoding.
bool OFD_DocumentPatch::IsUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFE") || bytes.startsWith("\xFF") || bytes.startsWith(QByteArray("\0", 1)))
        return false;
    const int start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (bytes.mid(start, 5) != "<?xml")
        return true;
    const int end = bytes.indexOf("?>", start);
    if (end < 0)
        return false;
    const QByteArray declaration = bytes.mid(start, end - start).toLower();
    const int at = declaration.indexOf("encoding");
    return at < 0 || declaration.indexOf("\"utf-8\"", at) > 0 || declaration.indexOf("'utf-8'", at) > 0;
}

bool OFD_DocumentPatch::SetMaxUnitID(QByteArray &bytes, quint32 value)
{
    static const QByteArray name("MaxUnitID");
    const int first = bytes.indexOf(name);
    const int second = first < 0 ? -1 : bytes.indexOf(name, first + name.size());
    if (second < 0 || bytes.indexOf(name, second + name.size()) >= 0 || !IsUtf8(bytes))
        return false;
    // The start tag: '<', a prefix and ':' or nothing, the name, '>'.
    int tag = first - 1;
    if (tag >= 0 && bytes.at(tag) == ':')
        for (--tag; tag >= 0 && IsNameChar(bytes.at(tag));)
            --tag;
    if (tag < 0 || bytes.at(tag) != '<' || first + name.size() >= bytes.size() || bytes.at(first + name.size()) != '>')
        return false;
    const QByteArray qualified = bytes.mid(tag + 1, first + name.size() - tag - 1);
    const int digits = first + name.size() + 1;
    int end = digits;
    while (end < bytes.size() && bytes.at(end) >= '0' && bytes.at(end) <= '9')
        ++end;
    const QByteArray close = "</" + qualified + '>';
    if (end == digits || bytes.mid(end, close.size()) != close || end + 2 + qualified.size() - name.size() != second)
        return false;
    bytes.replace(digits, end - digits, QByteArray::number(value));
    return true;
}

bool OFD_DocumentPatch::AppendAnnotations(QByteArray &bytes, const QString &location)
{
    if (!IsUtf8(bytes))
        return false;
    int close = bytes.size();
    while (close > 0 && QByteArray(" \t\r\n").contains(bytes.at(close - 1)))
        --close;
    const int open = bytes.lastIndexOf("</", close - 1);
    if (close == 0 || bytes.at(close - 1) != '>' || open < 0)
        return false;
    int nameEnd = close - 1;
    while (nameEnd > open && QByteArray(" \t\r\n").contains(bytes.at(nameEnd - 1)))
        --nameEnd;
    const QByteArray qualified = bytes.mid(open + 2, nameEnd - open - 2);
    const int colon = qualified.indexOf(':');
    const QByteArray prefix = colon < 0 ? QByteArray() : qualified.left(colon + 1);
    if (qualified.mid(prefix.size()) != "Document" || colon != qualified.lastIndexOf(':'))
        return false;
    for (const char c : prefix.left(prefix.size() - 1))
        if (!IsNameChar(c))
            return false;
    QByteArray text = location.toUtf8();
    text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    const bool ownLine = open > 0 && bytes.at(open - 1) == '\n';
    bytes.insert(open, (ownLine ? " <" : "<") + prefix + "Annotations>" + text + "</" + prefix + "Annotations>"
                           + (ownLine ? "\n" : ""));
    return true;
}
