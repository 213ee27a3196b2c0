#include "tool/linkclipboardrecord.h"

#include "tool/linkstyle.h"

#include "omofd/ofd_codec.h"
#include "omofdapi/ig_document.h"
#include "uiframework/g_docview.h"
#include "uiframework/gq_convert.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include <cmath>

namespace {

const char *const kFormats[] = {"type", "doc", "annottype", "annotsubtype", "rect", "actionType", "action",
                                "pathcolor", "path", "linetype", "linewidth", "isvisible", "matrix", "readonly"};

QByteArray Bool(bool value)
{
    return value ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
}

QByteArray Bytes(const CCA_String &text)
{
    return QByteArray(text.c_str(), text.GetLength());
}

} // namespace

LinkClipboardRecord LinkClipboardRecord::FromClipboard()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return FromMimeData(clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr);
}

LinkClipboardRecord LinkClipboardRecord::FromMimeData(const QMimeData *mime)
{
    LinkClipboardRecord record;
    if (!mime)
        return record;
    for (const char *format : kFormats) {
        const QString name = QString::fromLatin1(format);
        if (mime->hasFormat(name))
            record.m_values.insert(name, QString::fromUtf8(mime->data(name)));
    }
    return record;
}

std::unique_ptr<QMimeData> LinkClipboardRecord::CreateMimeData(const IG_Document *document, const IG_Annot *annot)
{
    const IG_PageObject *object = LinkPathObject(annot);
    if (!document || !object)
        return nullptr;

    auto mime = std::make_unique<QMimeData>();
    mime->setData("annottype", Bytes(AnnotTypeToString(annot->Type())));
    mime->setData("annotsubtype", Bytes(annot->SubType()));
    // x, y, width, height; readers use the size only.
    const CCA_GRect box = annot->Boundary();
    mime->setData("rect", QString("%1,%2,%3,%4")
                              .arg(double(box.left))
                              .arg(double(box.top))
                              .arg(double(box.right - box.left))
                              .arg(double(box.bottom - box.top))
                              .toUtf8());
    const CCA_ArrayTemplate<G_Action *> actions = object->Actions();
    if (!actions.IsEmpty() && actions[0]) {
        mime->setData("actionType", Bytes(ActionTypeToString(actions[0]->Type())));
        mime->setData("action", Bytes(actions[0]->ToString()));
    }
    const LinkStroke stroke = ReadLinkStroke(object);
    mime->setData("pathcolor", stroke.color.name(QColor::HexArgb).toUtf8());
    mime->setData("path", Bytes(OFD_PathToString(object->Path())));
    mime->setData("linetype", Bytes(OFD_ArrayToString(stroke.dashPattern, 0)));
    mime->setData("linewidth", QString("%1").arg(double(stroke.lineWidth)).toUtf8());
    mime->setData("isvisible", Bool(stroke.visible));
    const CCA_Matrix ctm = object->CTM();
    CCA_ArrayTemplate<float> matrix;
    for (float factor : {ctm.a, ctm.b, ctm.c, ctm.d, ctm.e, ctm.f})
        matrix.Add(factor);
    mime->setData("matrix", Bytes(OFD_ArrayToString(matrix, 0)));
    mime->setData("readonly", Bool(annot->IsReadOnly()));
    mime->setData("type", "linkannot");
    mime->setData("doc", Bytes(document->DocumentKey()));
    return mime;
}

IG_Annot *LinkClipboardRecord::CopyToClipboard(G_DocView *view, int pageIndex, uint32_t annotID)
{
    IG_Page *page = view ? view->Page(pageIndex) : nullptr;
    if (!page)
        return nullptr;
    page->LoadAnnots();
    IG_Annot *annot = page->AnnotByID(annotID);
    if (!annot || AnnotTypeToString(annot->Type()) != "Link" || annot->SubType() != "Link")
        return nullptr;
    std::unique_ptr<QMimeData> mime = CreateMimeData(view->GDocument(), annot);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!mime || !clipboard)
        return nullptr;
    clipboard->setMimeData(mime.release(), QClipboard::Clipboard);
    return annot;
}

bool LinkClipboardRecord::IsFromDocument(const IG_Document *document) const
{
    return Value("type") == QLatin1String("linkannot") && document
           && Value("doc") == GQ_ToQStringFromUtf8(document->DocumentKey());
}

bool LinkClipboardRecord::IsLink() const
{
    return Value("annottype") == QLatin1String("Link") && Value("annotsubtype") == QLatin1String("Link");
}

bool LinkClipboardRecord::Size(float *width, float *height) const
{
    const QStringList items = Value("rect").split(QLatin1Char(','));
    if (items.size() < 4)
        return false;
    bool widthOk = false, heightOk = false;
    const float w = items.at(2).toFloat(&widthOk);
    const float h = items.at(3).toFloat(&heightOk);
    // Any local process can write a record: only real sizes are taken.
    if (!widthOk || !heightOk || !std::isfinite(w) || !std::isfinite(h) || !(w > 0) || !(h > 0))
        return false;
    *width = w;
    *height = h;
    return true;
}
