#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>

class G_DocView;
class IG_Annot;
class IG_Document;
class QMimeData;

// One link on the clipboard: one MIME format per field, each a UTF-8 text. Only meaningful
// in the document it was copied from.
class LinkClipboardRecord
{
public:
    LinkClipboardRecord() = default;

    // The record in the clipboard's main buffer; every field empty when there is none.
    static LinkClipboardRecord FromClipboard();
    static LinkClipboardRecord FromMimeData(const QMimeData *mime);

    // The record of a link, fields in writing order; null unless `annot` is a link with a
    // link path object.
    static std::unique_ptr<QMimeData> CreateMimeData(const IG_Document *document, const IG_Annot *annot);
    // The shared body of copy and cut: puts link `annotID` of page `pageIndex` on the
    // clipboard and answers it, or answers null and leaves the clipboard alone.
    static IG_Annot *CopyToClipboard(G_DocView *view, int pageIndex, uint32_t annotID);

    // A missing format reads as an empty text.
    QString Value(const QString &format) const { return m_values.value(format); }

    // A link record copied in `document`.
    bool IsFromDocument(const IG_Document *document) const;
    // Annotation type and subtype are both "Link".
    bool IsLink() const;
    // Width and height of "rect"; false when it has fewer than four items or a size that
    // is not a finite positive number.
    bool Size(float *width, float *height) const;

private:
    QHash<QString, QString> m_values;
};
