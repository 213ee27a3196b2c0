#include "ofd_xmlserializer.h"

#include "ofd_annot.h"
#include "ofd_imageobject.h"
#include "ofd_pageobject.h"
#include "ofd_textobject.h"
#include "ofd_xmlelement.h"
#include "ofd_utf8.h"

#include "g_action.h"
#include "ig_document.h"
#include "ig_page.h"
#include "omofd/ofd_codec.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace {

QString Bool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The shortest extent text whose sum with `origin` reads back as `end` in single precision.
QString ExtentText(float origin, float end)
{
    const double extent = double(end) - double(origin);
    // The model holds no such numbers; still, "nan" or "inf" would make the file unreadable.
    if (!std::isfinite(extent))
        return OFD_XmlSerializer::FloatText(float(extent));
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const QString text = QString::number(extent, 'f', decimals);
        if (float(double(origin) + text.toDouble()) == end)
            return text == QLatin1String("-0") ? QStringLiteral("0") : text;
    }
    return QString::number(extent, 'f', QLocale::FloatingPointShortest);
}

QString DestTypeText(int type)
{
    switch (type) {
    case G_Dest_Fit:
        return QStringLiteral("Fit");
    case G_Dest_FitH:
        return QStringLiteral("FitH");
    case G_Dest_FitV:
        return QStringLiteral("FitV");
    case G_Dest_FitR:
        return QStringLiteral("FitR");
    default:
        return QStringLiteral("XYZ");
    }
}

QString EventText(int event)
{
    switch (event) {
    case G_ActionEvent_DocOpen:
        return QStringLiteral("DO");
    case G_ActionEvent_PageOpen:
        return QStringLiteral("PO");
    default:
        return QStringLiteral("CLICK");
    }
}

QString MovieOperatorText(int op)
{
    switch (op) {
    case G_ActionMovie::Stop:
        return QStringLiteral("Stop");
    case G_ActionMovie::Pause:
        return QStringLiteral("Pause");
    case G_ActionMovie::Resume:
        return QStringLiteral("Resume");
    default:
        return QStringLiteral("Play");
    }
}

std::unique_ptr<OFD_XmlElement> DestElement(const G_Dest &dest, const IG_Document *document)
{
    auto element = std::make_unique<OFD_XmlElement>(QStringLiteral("Dest"));
    element->SetAttribute(QStringLiteral("Type"), DestTypeText(dest.type));
    uint32_t pageID = dest.pageID;
    if (pageID == 0 && document)
        pageID = document->GetPageID(dest.pageIndex);
    element->SetAttribute(QStringLiteral("PageID"), QString::number(pageID));
    // The type says which bounds a viewer uses; the others are kept too when set, so that
    // a destination reads back as it was made.
    const bool left = dest.type == G_Dest_XYZ || dest.type == G_Dest_FitV || dest.type == G_Dest_FitR;
    const bool top = dest.type == G_Dest_XYZ || dest.type == G_Dest_FitH || dest.type == G_Dest_FitR;
    const bool box = dest.type == G_Dest_FitR;
    if (left || dest.left != 0)
        element->SetAttribute(QStringLiteral("Left"), OFD_XmlSerializer::FloatText(dest.left));
    if (top || dest.top != 0)
        element->SetAttribute(QStringLiteral("Top"), OFD_XmlSerializer::FloatText(dest.top));
    if (box || dest.right != 0)
        element->SetAttribute(QStringLiteral("Right"), OFD_XmlSerializer::FloatText(dest.right));
    if (box || dest.bottom != 0)
        element->SetAttribute(QStringLiteral("Bottom"), OFD_XmlSerializer::FloatText(dest.bottom));
    if (dest.zoom != 0)
        element->SetAttribute(QStringLiteral("Zoom"), OFD_XmlSerializer::FloatText(dest.zoom));
    return element;
}

std::unique_ptr<OFD_XmlElement> ActionElement(const G_Action &action, const IG_Document *document)
{
    auto element = std::make_unique<OFD_XmlElement>(QStringLiteral("Action"));
    element->SetAttribute(QStringLiteral("Event"), EventText(action.Event()));
    switch (action.Type()) {
    case G_ActionType_Goto: {
        const auto *go = dynamic_cast<const G_ActionGoto *>(&action);
        if (!go)
            return nullptr;
        OFD_XmlElement *gotoElement = element->AddChild(QStringLiteral("Goto"));
        gotoElement->AddChild(DestElement(go->Dest(), document));
        break;
    }
    case G_ActionType_URI: {
        const auto *uri = dynamic_cast<const G_ActionURI *>(&action);
        if (!uri)
            return nullptr;
        OFD_XmlElement *uriElement = element->AddChild(QStringLiteral("URI"));
        uriElement->SetAttribute(QStringLiteral("URI"), OFD_FromUtf8(uri->URI()));
        if (!uri->Base().IsEmpty())
            uriElement->SetAttribute(QStringLiteral("Base"), OFD_FromUtf8(uri->Base()));
        if (!uri->Target().IsEmpty())
            uriElement->SetAttribute(QStringLiteral("Target"), OFD_FromUtf8(uri->Target()));
        break;
    }
    case G_ActionType_GotoA: {
        const auto *gotoA = dynamic_cast<const G_ActionGotoA *>(&action);
        if (!gotoA)
            return nullptr;
        OFD_XmlElement *gotoAElement = element->AddChild(QStringLiteral("GotoA"));
        gotoAElement->SetAttribute(QStringLiteral("AttachID"), QString::number(gotoA->AttachID()));
        gotoAElement->SetAttribute(QStringLiteral("NewWindow"), Bool(gotoA->NewWindow()));
        break;
    }
    case G_ActionType_Sound: {
        const auto *sound = dynamic_cast<const G_ActionSound *>(&action);
        if (!sound)
            return nullptr;
        OFD_XmlElement *soundElement = element->AddChild(QStringLiteral("Sound"));
        soundElement->SetAttribute(QStringLiteral("ResourceID"), QString::number(sound->ResourceID()));
        soundElement->SetAttribute(QStringLiteral("Volume"), QString::number(sound->Volume()));
        soundElement->SetAttribute(QStringLiteral("Repeat"), Bool(sound->Repeat()));
        soundElement->SetAttribute(QStringLiteral("Synchronous"), Bool(sound->Synchronous()));
        break;
    }
    case G_ActionType_Movie: {
        const auto *movie = dynamic_cast<const G_ActionMovie *>(&action);
        if (!movie)
            return nullptr;
        OFD_XmlElement *movieElement = element->AddChild(QStringLiteral("Movie"));
        movieElement->SetAttribute(QStringLiteral("ResourceID"), QString::number(movie->ResourceID()));
        movieElement->SetAttribute(QStringLiteral("Operator"), MovieOperatorText(movie->GetOperator()));
        break;
    }
    default:
        return nullptr;
    }
    return element;
}

std::unique_ptr<OFD_XmlElement> ClipsElement(const std::vector<CCA_Path> &clips)
{
    if (clips.empty())
        return nullptr;
    auto element = std::make_unique<OFD_XmlElement>(QStringLiteral("Clips"));
    for (const CCA_Path &clip : clips) {
        OFD_XmlElement *area = element->AddChild(QStringLiteral("Clip"))->AddChild(QStringLiteral("Area"));
        OFD_XmlElement *path = area->AddChild(QStringLiteral("Path"));
        // The clip path is in object space: a boundary at the origin keeps it there.
        const CCA_GRect box = clip.BoundingBox();
        path->SetAttribute(QStringLiteral("Boundary"),
                           OFD_XmlSerializer::BoxText(CCA_GRect(0, 0, qMax(box.right, 0.0f), qMax(box.bottom, 0.0f))));
        path->SetAttribute(QStringLiteral("Fill"), QStringLiteral("true"));
        path->AddChild(QStringLiteral("AbbreviatedData"), OFD_FromUtf8(OFD_PathToString(clip)));
    }
    return element;
}

// Attributes of the graphic unit that only the concrete classes know.
template <class Unit>
void WriteUnitExtras(const Unit &unit, OFD_XmlElement &element)
{
    if (!unit.Name().isEmpty())
        element.SetAttribute(QStringLiteral("Name"), unit.Name());
    if (unit.Cap() == OFD_Cap_Round)
        element.SetAttribute(QStringLiteral("Cap"), QStringLiteral("Round"));
    else if (unit.Cap() == OFD_Cap_Square)
        element.SetAttribute(QStringLiteral("Cap"), QStringLiteral("Square"));
    if (unit.Join() == OFD_Join_Round)
        element.SetAttribute(QStringLiteral("Join"), QStringLiteral("Round"));
    else if (unit.Join() == OFD_Join_Bevel)
        element.SetAttribute(QStringLiteral("Join"), QStringLiteral("Bevel"));
    if (unit.MiterLimit() != 4.234f)
        element.SetAttribute(QStringLiteral("MiterLimit"), OFD_XmlSerializer::FloatText(unit.MiterLimit()));
    if (unit.DashOffset() != 0)
        element.SetAttribute(QStringLiteral("DashOffset"), OFD_XmlSerializer::FloatText(unit.DashOffset()));
    if (unit.Alpha() != 255)
        element.SetAttribute(QStringLiteral("Alpha"), QString::number(unit.Alpha()));
}

template <class Unit>
std::vector<CCA_Path> UnitClips(const Unit *unit)
{
    return unit ? unit->Clips() : std::vector<CCA_Path>();
}

} // namespace

const QString &OFD_XmlSerializer::DateTimeParameter()
{
    static const QString name = QStringLiteral("annotlink.LastModDateTime");
    return name;
}

QString OFD_XmlSerializer::FloatText(float value)
{
    return OFD_FromUtf8(OFD_FloatToString(value));
}

QString OFD_XmlSerializer::BoxText(const CCA_GRect &rect)
{
    return FloatText(rect.left) + QLatin1Char(' ') + FloatText(rect.top) + QLatin1Char(' ')
        + ExtentText(rect.left, rect.right) + QLatin1Char(' ') + ExtentText(rect.top, rect.bottom);
}

QString OFD_XmlSerializer::MatrixText(const CCA_Matrix &m)
{
    return QStringList{FloatText(m.a), FloatText(m.b), FloatText(m.c), FloatText(m.d), FloatText(m.e),
                       FloatText(m.f)}
        .join(QLatin1Char(' '));
}

QString OFD_XmlSerializer::XsDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() < 10)
        return QString();
    // Every form seen starts with the date: "2020-06-16", "2020-06-16 14:29:58",
    // "2020-06-16T14:29:58", "2022-11-16-19-20-58".
    // Read digit by digit: QDate::fromString looks the time zone up on every call.
    int fields[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    int at = 0;
    for (int f = 0; f < 3; ++f) {
        if (f > 0 && trimmed.at(at++) != QLatin1Char('-'))
            return QString();
        for (int i = 0; i < widths[f]; ++i, ++at) {
            const int digit = trimmed.at(at).unicode() - '0';
            if (digit < 0 || digit > 9)
                return QString();
            fields[f] = fields[f] * 10 + digit;
        }
    }
    return QDate(fields[0], fields[1], fields[2]).isValid() ? trimmed.left(10) : QString();
}

std::unique_ptr<OFD_XmlElement> OFD_XmlSerializer::ColorElement(const QString &name, const IG_Color &color)
{
    auto element = std::make_unique<OFD_XmlElement>(name);
    const uint32_t value = color.Value();
    element->SetAttribute(QStringLiteral("Value"), QStringLiteral("%1 %2 %3")
                                                       .arg(value & 0xff)
                                                       .arg((value >> 8) & 0xff)
                                                       .arg((value >> 16) & 0xff));
    element->SetAttribute(QStringLiteral("Alpha"), QString::number(color.Alpha()));
    return element;
}

std::unique_ptr<OFD_XmlElement> OFD_XmlSerializer::ActionsElement(const CCA_ArrayTemplate<G_Action *> &actions,
                                                                  const IG_Document *document)
{
    auto element = std::make_unique<OFD_XmlElement>(QStringLiteral("Actions"));
    for (const G_Action *action : actions)
        if (action)
            if (auto child = ActionElement(*action, document))
                element->AddChild(std::move(child));
    if (element->ChildCount() == 0)
        return nullptr;
    return element;
}

std::unique_ptr<OFD_XmlElement> OFD_XmlSerializer::PageObjectElement(const IG_PageObject &object,
                                                                     const IG_Document *document,
                                                                     const ResourceMap *resources)
{
    const auto *text = dynamic_cast<const OFD_TextObject *>(&object);
    const auto *image = dynamic_cast<const OFD_ImageObject *>(&object);
    const auto *path = dynamic_cast<const OFD_PageObject *>(&object);
    QString name;
    switch (object.Type()) {
    case G_PageObj_Text:
        name = QStringLiteral("TextObject");
        break;
    case G_PageObj_Path:
        name = QStringLiteral("PathObject");
        break;
    case G_PageObj_Image:
        name = QStringLiteral("ImageObject");
        break;
    case G_PageObj_Composite:
        name = QStringLiteral("CompositeObject");
        break;
    default:
        return nullptr;
    }
    auto element = std::make_unique<OFD_XmlElement>(name);
    element->SetAttribute(QStringLiteral("ID"), QString::number(object.ID()));
    element->SetAttribute(QStringLiteral("Boundary"), BoxText(object.Boundary()));
    element->SetAttribute(QStringLiteral("Visible"), Bool(object.IsVisible()));
    if (!object.CTM().IsIdentity())
        element->SetAttribute(QStringLiteral("CTM"), MatrixText(object.CTM()));
    element->SetAttribute(QStringLiteral("LineWidth"), FloatText(object.LineWidth()));
    const CCA_ArrayTemplate<float> dashes = object.DashPattern();
    if (!dashes.IsEmpty())
        element->SetAttribute(QStringLiteral("DashPattern"), OFD_FromUtf8(OFD_ArrayToString(dashes, 0)));
    if (text)
        WriteUnitExtras(*text, *element);
    else if (image)
        WriteUnitExtras(*image, *element);
    else if (path)
        WriteUnitExtras(*path, *element);

    if (auto actions = ActionsElement(object.Actions(), document))
        element->AddChild(std::move(actions));
    std::vector<CCA_Path> clips = text ? UnitClips(text) : image ? UnitClips(image) : UnitClips(path);
    if (auto clipsElement = ClipsElement(clips))
        element->AddChild(std::move(clipsElement));

    switch (object.Type()) {
    case G_PageObj_Path:
        element->SetAttribute(QStringLiteral("Stroke"), Bool(object.IsStroke()));
        element->SetAttribute(QStringLiteral("Fill"), Bool(object.IsFill()));
        if (path && path->FillRule() == OFD_Rule_EvenOdd)
            element->SetAttribute(QStringLiteral("Rule"), QStringLiteral("Even-Odd"));
        if (object.StrokeColor())
            element->AddChild(ColorElement(QStringLiteral("StrokeColor"), *object.StrokeColor()));
        if (object.FillColor())
            element->AddChild(ColorElement(QStringLiteral("FillColor"), *object.FillColor()));
        element->AddChild(QStringLiteral("AbbreviatedData"), OFD_FromUtf8(OFD_PathToString(object.Path())));
        break;
    case G_PageObj_Composite:
        element->SetAttribute(QStringLiteral("ResourceID"), QString::number(path ? path->ResourceID() : 0));
        break;
    case G_PageObj_Image: {
        uint32_t resourceID = image ? image->ResourceID() : 0;
        if (image && resources && resources->imageID)
            resourceID = resources->imageID(*image);
        element->SetAttribute(QStringLiteral("ResourceID"), QString::number(resourceID));
        break;
    }
    case G_PageObj_Text: {
        if (!text)
            return nullptr;
        uint32_t fontID = text->FontID();
        if (resources && resources->fontID)
            fontID = resources->fontID(*text);
        element->SetAttribute(QStringLiteral("Font"), QString::number(fontID));
        element->SetAttribute(QStringLiteral("Size"), FloatText(text->FontSize()));
        element->SetAttribute(QStringLiteral("Stroke"), Bool(text->IsStroke()));
        element->SetAttribute(QStringLiteral("Fill"), Bool(text->IsFill()));
        if (text->HScale() != 1)
            element->SetAttribute(QStringLiteral("HScale"), FloatText(text->HScale()));
        if (text->Weight() != 400)
            element->SetAttribute(QStringLiteral("Weight"), QString::number(text->Weight()));
        if (text->IsItalic())
            element->SetAttribute(QStringLiteral("Italic"), QStringLiteral("true"));
        if (text->FillColor())
            element->AddChild(ColorElement(QStringLiteral("FillColor"), *text->FillColor()));
        if (text->StrokeColor())
            element->AddChild(ColorElement(QStringLiteral("StrokeColor"), *text->StrokeColor()));
        for (const G_TextCode &code : text->TextCodes()) {
            OFD_XmlElement *codeElement = element->AddChild(QStringLiteral("TextCode"), code.text);
            codeElement->SetAttribute(QStringLiteral("X"), FloatText(code.x));
            codeElement->SetAttribute(QStringLiteral("Y"), FloatText(code.y));
            QStringList deltas;
            for (float d : code.deltaX)
                deltas.append(FloatText(d));
            if (!deltas.isEmpty())
                codeElement->SetAttribute(QStringLiteral("DeltaX"), deltas.join(QLatin1Char(' ')));
            deltas.clear();
            for (float d : code.deltaY)
                deltas.append(FloatText(d));
            if (!deltas.isEmpty())
                codeElement->SetAttribute(QStringLiteral("DeltaY"), deltas.join(QLatin1Char(' ')));
        }
        break;
    }
    default:
        break;
    }
    return element;
}

std::unique_ptr<OFD_XmlElement> OFD_XmlSerializer::AnnotElement(const IG_Annot &annot, const QString &typeText,
                                                                const ResourceMap *resources)
{
    const IG_Document *document = annot.Page() ? annot.Page()->Document() : nullptr;
    auto element = std::make_unique<OFD_XmlElement>(QStringLiteral("Annot"));
    element->SetAttribute(QStringLiteral("ID"), QString::number(annot.ID()));
    QString type = OFD_FromUtf8(AnnotTypeToString(annot.Type()));
    if (type.isEmpty())
        type = typeText.isEmpty() ? QStringLiteral("Path") : typeText;
    element->SetAttribute(QStringLiteral("Type"), type);
    element->SetAttribute(QStringLiteral("Creator"), OFD_FromUtf8(annot.Creator()));
    const QString dateText = OFD_FromUtf8(annot.LastModDate());
    QString date = XsDate(dateText);
    if (date.isEmpty())
        date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    element->SetAttribute(QStringLiteral("LastModDate"), date);
    if (!annot.SubType().IsEmpty())
        element->SetAttribute(QStringLiteral("Subtype"), OFD_FromUtf8(annot.SubType()));
    element->SetAttribute(QStringLiteral("Visible"), Bool(annot.IsVisible()));
    if (!annot.IsPrint())
        element->SetAttribute(QStringLiteral("Print"), QStringLiteral("false"));
    if (const auto *ofdAnnot = OFD_Annot::Of(&annot)) {
        if (ofdAnnot->IsNoZoom())
            element->SetAttribute(QStringLiteral("NoZoom"), QStringLiteral("true"));
        if (ofdAnnot->IsNoRotate())
            element->SetAttribute(QStringLiteral("NoRotate"), QStringLiteral("true"));
    }
    element->SetAttribute(QStringLiteral("ReadOnly"), Bool(annot.IsReadOnly()));

    if (!annot.Remark().IsEmpty())
        element->AddChild(QStringLiteral("Remark"), OFD_FromUtf8(annot.Remark()));
    auto parameters = std::make_unique<OFD_XmlElement>(QStringLiteral("Parameters"));
    for (const auto &parameter : annot.Parameters()) {
        const QString name = OFD_FromUtf8(parameter.first);
        if (name == DateTimeParameter())
            continue;
        parameters->AddChild(QStringLiteral("Parameter"), OFD_FromUtf8(parameter.second))
            ->SetAttribute(QStringLiteral("Name"), name);
    }
    // The date alone loses the time of day (and any text that is no date at all).
    if (!dateText.isEmpty() && dateText != date)
        parameters->AddChild(QStringLiteral("Parameter"), dateText)->SetAttribute(QStringLiteral("Name"), DateTimeParameter());
    if (parameters->ChildCount() > 0)
        element->AddChild(std::move(parameters));

    OFD_XmlElement *appearance = element->AddChild(QStringLiteral("Appearance"));
    appearance->SetAttribute(QStringLiteral("Boundary"), BoxText(annot.Boundary()));
    if (const IG_Appearance *source = annot.Appearance()) {
        for (int i = 0; i < source->PageObjectCount(); ++i)
            if (const IG_PageObject *object = source->PageObject(i))
                if (auto child = PageObjectElement(*object, document, resources))
                    appearance->AddChild(std::move(child));
    }
    return element;
}
