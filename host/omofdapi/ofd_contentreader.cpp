#include "ofd_contentreader.h"

#include "ofd_annot.h"
#include "ofd_appearance.h"
#include "ofd_color.h"
#include "ofd_document.h"
#include "ofd_documentcontext.h"
#include "ofd_imageobject.h"
#include "ofd_page.h"
#include "ofd_pageobject.h"
#include "ofd_resources.h"
#include "ofd_textobject.h"
#include "ofd_utf8.h"
#include "ofd_xmlelement.h"
#include "ofd_xmlserializer.h"
#include "ofd_ziparchive.h"

#include "g_action.h"
#include "omofd/ofd_codec.h"

namespace {

// A run of "g count value" may not blow a short list up beyond this.
const int kMaxDeltas = 1 << 20;
// A page (or an appearance) shows its first this many objects.
const size_t kMaxObjects = 1 << 19;

// The element, or else the first drawing parameter of its chain, that has the attribute.
const OFD_XmlElement *Holder(const OFD_XmlElement &element, const QVector<const OFD_XmlElement *> &chain,
                             const QString &name)
{
    if (element.HasAttribute(name))
        return &element;
    for (const OFD_XmlElement *param : chain)
        if (param->HasAttribute(name))
            return param;
    return nullptr;
}

std::string_view LookupUtf8(const OFD_XmlElement &element, const QVector<const OFD_XmlElement *> &chain,
                            const QString &name)
{
    const OFD_XmlElement *holder = Holder(element, chain, name);
    return holder ? holder->Utf8Attribute(name) : std::string_view();
}

// NaN when there is no such number.
double LookupDouble(const OFD_XmlElement &element, const QVector<const OFD_XmlElement *> &chain, const QString &name)
{
    const OFD_XmlElement *holder = Holder(element, chain, name);
    return holder ? holder->DoubleAttribute(name, qQNaN()) : qQNaN();
}

const OFD_XmlElement *LookupChild(const OFD_XmlElement &element, const QVector<const OFD_XmlElement *> &chain,
                                  const QString &name)
{
    if (const OFD_XmlElement *child = element.Child(name))
        return child;
    for (const OFD_XmlElement *param : chain)
        if (const OFD_XmlElement *child = param->Child(name))
            return child;
    return nullptr;
}

int DestType(const QString &text)
{
    if (text == QLatin1String("Fit"))
        return G_Dest_Fit;
    if (text == QLatin1String("FitH"))
        return G_Dest_FitH;
    if (text == QLatin1String("FitV"))
        return G_Dest_FitV;
    if (text == QLatin1String("FitR"))
        return G_Dest_FitR;
    return G_Dest_XYZ;
}

int MovieOperator(const QString &text)
{
    if (text == QLatin1String("Stop"))
        return G_ActionMovie::Stop;
    if (text == QLatin1String("Pause"))
        return G_ActionMovie::Pause;
    if (text == QLatin1String("Resume"))
        return G_ActionMovie::Resume;
    return G_ActionMovie::Play;
}

float DestValue(const OFD_XmlElement &dest, const QString &name)
{
    double value = 0;
    return OFD_XmlElement::ParseDouble(dest.AttributeOrChild(name), value) ? float(value) : 0.0f;
}

// A clip area's path in the space of the unit it clips.
CCA_Path ClipAreaPath(const OFD_XmlElement &area)
{
    CCA_Path path;
    const OFD_XmlElement *shape = area.Child(QStringLiteral("Path"));
    if (!shape)
        return path;
    path = OFD_StringToPath(OFD_ToUtf8(shape->ChildText(QStringLiteral("AbbreviatedData"))));
    CCA_Matrix matrix;
    if (OFD_ContentReader::ParseMatrix(shape->Attribute(QStringLiteral("CTM")), matrix))
        path.Transform(matrix);
    CCA_GRect box;
    if (OFD_ContentReader::ParseBox(shape->Attribute(QStringLiteral("Boundary")), box))
        path.Translate(box.left, box.top);
    if (OFD_ContentReader::ParseMatrix(area.Attribute(QStringLiteral("CTM")), matrix))
        path.Transform(matrix);
    return path;
}

// "x y w h" as read; false for a negative size.
bool BoxOfNumbers(const double (&n)[4], CCA_GRect &rect)
{
    if (n[2] < 0 || n[3] < 0)
        return false;
    rect = CCA_GRect(float(n[0]), float(n[1]), float(n[0] + n[2]), float(n[1] + n[3]));
    return true;
}

bool BoxAttribute(const OFD_XmlElement &element, const QString &name, CCA_GRect &rect)
{
    double n[4];
    return element.NumbersAttribute(name, n, 4) && BoxOfNumbers(n, rect);
}

bool MatrixAttribute(const OFD_XmlElement &element, const QString &name, CCA_Matrix &matrix)
{
    double n[6];
    if (!element.NumbersAttribute(name, n, 6))
        return false;
    matrix = CCA_Matrix(float(n[0]), float(n[1]), float(n[2]), float(n[3]), float(n[4]), float(n[5]));
    return true;
}

std::string_view ChildUtf8(const OFD_XmlElement &element, const QString &name)
{
    const OFD_XmlElement *child = element.Child(name);
    return child ? child->Utf8Text() : std::string_view();
}

} // namespace

OFD_ContentReader::OFD_ContentReader(OFD_Document *document, const OFD_Resources &resources,
                                     std::shared_ptr<OFD_ZipArchive> archive,
                                     const QHash<QString, std::shared_ptr<OFD_XmlElement>> *bookmarks)
    : m_document(document), m_resources(resources), m_archive(std::move(archive)), m_bookmarks(bookmarks)
{
}

// Objects that use one entry share its bytes: it is read once, on first use, and kept once.
std::function<QByteArray()> OFD_ContentReader::EntryProvider(const QString &path) const
{
    if (!m_archive || path.isEmpty())
        return nullptr;
    const auto known = m_providers.constFind(path);
    if (known != m_providers.constEnd())
        return known.value();
    struct Lazy
    {
        bool read = false;
        QByteArray data;
    };
    auto lazy = std::make_shared<Lazy>();
    std::function<QByteArray()> provider = [archive = m_archive, path, lazy]() {
        if (!lazy->read) {
            archive->ReadEntry(path, lazy->data, nullptr);
            lazy->read = true;
        }
        return lazy->data;
    };
    m_providers.insert(path, provider);
    return provider;
}

bool OFD_ContentReader::ParseBox(const QString &text, CCA_GRect &rect)
{
    double n[4];
    return OFD_XmlElement::ParseNumbers(text, n, 4) && BoxOfNumbers(n, rect);
}

bool OFD_ContentReader::ParseBox(std::string_view text, CCA_GRect &rect)
{
    double n[4];
    return OFD_XmlElement::ParseNumbers(text, n, 4) && BoxOfNumbers(n, rect);
}

bool OFD_ContentReader::ParseMatrix(const QString &text, CCA_Matrix &matrix)
{
    double n[6];
    if (!OFD_XmlElement::ParseNumbers(text, n, 6))
        return false;
    matrix = CCA_Matrix(float(n[0]), float(n[1]), float(n[2]), float(n[3]), float(n[4]), float(n[5]));
    return true;
}

std::vector<float> OFD_ContentReader::ParseDeltas(const QString &text)
{
    std::vector<float> deltas;
    const QStringList tokens = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < tokens.size() && int(deltas.size()) < kMaxDeltas; ++i) {
        double value = 0;
        if (tokens.at(i) == QLatin1String("g")) {
            uint32_t count = 0;
            if (i + 2 >= tokens.size() || !OFD_XmlElement::ParseUInt(tokens.at(i + 1), count)
                || !OFD_XmlElement::ParseDouble(tokens.at(i + 2), value))
                break;
            count = std::min<uint32_t>(count, uint32_t(kMaxDeltas - int(deltas.size())));
            deltas.insert(deltas.end(), count, float(value));
            i += 2;
        } else if (OFD_XmlElement::ParseDouble(tokens.at(i), value)) {
            deltas.push_back(float(value));
        } else {
            break;
        }
    }
    return deltas;
}

template <class Unit>
void OFD_ContentReader::ReadUnit(const OFD_XmlElement &element, uint32_t drawParam, Unit &unit) const
{
    const uint32_t ownParam = element.UIntAttribute(QStringLiteral("DrawParam"));
    const QVector<const OFD_XmlElement *> chain = m_resources.DrawParamChain(ownParam ? ownParam : drawParam);

    CCA_GRect box;
    if (BoxAttribute(element, QStringLiteral("Boundary"), box))
        unit.SetBoundary(box);
    unit.SetName(element.Attribute(QStringLiteral("Name")));
    unit.SetVisible(element.BoolAttribute(QStringLiteral("Visible"), true));
    CCA_Matrix matrix;
    if (MatrixAttribute(element, QStringLiteral("CTM"), matrix))
        unit.SetCTM(matrix);
    const double width = LookupDouble(element, chain, QStringLiteral("LineWidth"));
    unit.SetLineWidth(width >= 0 ? float(width) : 0.353f);
    const std::string_view cap = LookupUtf8(element, chain, QStringLiteral("Cap"));
    unit.SetCap(cap == "Round" ? OFD_Cap_Round : cap == "Square" ? OFD_Cap_Square : OFD_Cap_Butt);
    const std::string_view join = LookupUtf8(element, chain, QStringLiteral("Join"));
    unit.SetJoin(join == "Round" ? OFD_Join_Round : join == "Bevel" ? OFD_Join_Bevel : OFD_Join_Miter);
    const double miter = LookupDouble(element, chain, QStringLiteral("MiterLimit"));
    if (!qIsNaN(miter))
        unit.SetMiterLimit(float(miter));
    const double dashOffset = LookupDouble(element, chain, QStringLiteral("DashOffset"));
    if (!qIsNaN(dashOffset))
        unit.SetDashOffset(float(dashOffset));
    // No pattern reads as an empty one.
    QVector<double> numbers;
    const OFD_XmlElement *dashHolder = Holder(element, chain, QStringLiteral("DashPattern"));
    if (!dashHolder || dashHolder->NumbersAttribute(QStringLiteral("DashPattern"), numbers)) {
        CCA_ArrayTemplate<float> dashes;
        for (double d : qAsConst(numbers))
            dashes.Add(float(d));
        unit.SetDashPattern(dashes);
    }
    unit.SetAlpha(uint8_t(qBound(0, element.IntAttribute(QStringLiteral("Alpha"), 255), 255)));

    if (const OFD_XmlElement *stroke = LookupChild(element, chain, QStringLiteral("StrokeColor"))) {
        OFD_Color color;
        if (m_resources.ReadColor(*stroke, color))
            unit.SetStrokeColor(&color);
    }
    if (const OFD_XmlElement *fill = LookupChild(element, chain, QStringLiteral("FillColor"))) {
        OFD_Color color;
        if (m_resources.ReadColor(*fill, color))
            unit.SetFillColor(&color);
    }
    if (const OFD_XmlElement *actions = element.Child(QStringLiteral("Actions"))) {
        const CCA_ArrayTemplate<G_Action *> list = ReadActions(*actions);
        if (!list.IsEmpty())
            unit.SetActions(list);
    }
    if (const OFD_XmlElement *clips = element.Child(QStringLiteral("Clips"))) {
        std::vector<CCA_Path> paths;
        for (const OFD_XmlElement *clip : clips->Children(QStringLiteral("Clip"))) {
            CCA_Path path;
            for (const OFD_XmlElement *area : clip->Children(QStringLiteral("Area")))
                path.Append(ClipAreaPath(*area));
            if (!path.IsEmpty())
                paths.push_back(path);
        }
        if (!paths.empty())
            unit.SetClips(paths);
    }
}

std::unique_ptr<IG_PageObject> OFD_ContentReader::ReadObject(const OFD_XmlElement &element, uint32_t drawParam) const
{
    const std::shared_ptr<OFD_DocumentContext> &context = m_document->Context();
    uint32_t id = element.UIntAttribute(QStringLiteral("ID"));
    if (id == 0)
        id = context->NewID();
    if (element.Is(QStringLiteral("PathObject")) || element.Is(QStringLiteral("CompositeObject"))) {
        const bool composite = element.Is(QStringLiteral("CompositeObject"));
        auto object = std::make_unique<OFD_PageObject>(context, id, composite ? G_PageObj_Composite : G_PageObj_Path);
        ReadUnit(element, drawParam, *object);
        if (composite) {
            object->SetStroke(false);
            object->SetResourceID(element.UIntAttribute(QStringLiteral("ResourceID")));
            return object;
        }
        object->SetStroke(element.BoolAttribute(QStringLiteral("Stroke"), true));
        object->SetFill(element.BoolAttribute(QStringLiteral("Fill"), false));
        object->SetFillRule(element.Utf8Attribute(QStringLiteral("Rule")) == "Even-Odd" ? OFD_Rule_EvenOdd
                                                                                         : OFD_Rule_NonZero);
        object->SetPath(OFD_StringToPath(OFD_Utf8(ChildUtf8(element, QStringLiteral("AbbreviatedData")))));
        return object;
    }
    if (element.Is(QStringLiteral("TextObject"))) {
        auto object = std::make_unique<OFD_TextObject>(context, id);
        ReadUnit(element, drawParam, *object);
        object->SetStroke(element.BoolAttribute(QStringLiteral("Stroke"), false));
        object->SetFill(element.BoolAttribute(QStringLiteral("Fill"), true));
        const uint32_t fontID = element.UIntAttribute(QStringLiteral("Font"));
        object->SetFontID(fontID);
        bool italic = element.BoolAttribute(QStringLiteral("Italic"), false);
        int weight = element.IntAttribute(QStringLiteral("Weight"), 400);
        if (const OFD_FontResource *font = m_resources.Font(fontID)) {
            object->SetFontName(font->fontName);
            object->SetFamilyName(font->familyName);
            object->SetBold(font->bold || weight >= 700);
            italic = italic || font->italic;
            if (!font->filePath.isEmpty())
                object->SetFontDataProvider(EntryProvider(font->filePath));
        } else {
            object->SetBold(weight >= 700);
        }
        object->SetItalic(italic);
        object->SetWeight(weight);
        double number = 0;
        if (OFD_XmlElement::ParseDouble(element.Attribute(QStringLiteral("Size")), number) && number > 0)
            object->SetFontSize(float(number));
        if (OFD_XmlElement::ParseDouble(element.Attribute(QStringLiteral("HScale")), number) && number > 0)
            object->SetHScale(float(number));
        // A missing X or Y continues from the previous code.
        float x = 0;
        float y = 0;
        std::vector<G_TextCode> codes;
        for (const OFD_XmlElement *codeElement : element.Children(QStringLiteral("TextCode"))) {
            G_TextCode code;
            if (OFD_XmlElement::ParseDouble(codeElement->Attribute(QStringLiteral("X")), number))
                x = float(number);
            if (OFD_XmlElement::ParseDouble(codeElement->Attribute(QStringLiteral("Y")), number))
                y = float(number);
            code.x = x;
            code.y = y;
            code.text = codeElement->Text();
            code.deltaX = ParseDeltas(codeElement->Attribute(QStringLiteral("DeltaX")));
            code.deltaY = ParseDeltas(codeElement->Attribute(QStringLiteral("DeltaY")));
            codes.push_back(code);
        }
        object->SetTextCodes(codes);
        return object;
    }
    if (element.Is(QStringLiteral("ImageObject"))) {
        auto object = std::make_unique<OFD_ImageObject>(context, id);
        ReadUnit(element, drawParam, *object);
        const uint32_t resourceID = element.UIntAttribute(QStringLiteral("ResourceID"));
        object->SetResourceID(resourceID);
        if (const OFD_MediaResource *media = m_resources.MultiMedia(resourceID))
            object->SetImageDataProvider(EntryProvider(media->filePath));
        return object;
    }
    return nullptr;
}

void OFD_ContentReader::ReadBlock(const OFD_XmlElement &block, uint32_t drawParam,
                                  std::vector<std::unique_ptr<IG_PageObject>> &objects) const
{
    for (int i = 0; i < block.ChildCount() && objects.size() < kMaxObjects; ++i) {
        const OFD_XmlElement *child = block.ChildAt(i);
        if (child->Is(QStringLiteral("PageBlock"))) {
            ReadBlock(*child, drawParam, objects);
            continue;
        }
        if (auto object = ReadObject(*child, drawParam))
            objects.push_back(std::move(object));
    }
}

G_Action *OFD_ContentReader::ReadAction(const OFD_XmlElement &element) const
{
    const std::string_view eventText = element.Utf8Attribute(QStringLiteral("Event"));
    const int event = eventText == "DO" ? G_ActionEvent_DocOpen : eventText == "PO" ? G_ActionEvent_PageOpen : G_ActionEvent_Click;
    G_Action *action = nullptr;
    if (const OFD_XmlElement *go = element.Child(QStringLiteral("Goto"))) {
        const OFD_XmlElement *dest = go->Child(QStringLiteral("Dest"));
        if (!dest && m_bookmarks) {
            if (const OFD_XmlElement *bookmark = go->Child(QStringLiteral("Bookmark"))) {
                const auto it = m_bookmarks->constFind(bookmark->Attribute(QStringLiteral("Name")));
                if (it != m_bookmarks->constEnd())
                    dest = it.value().get();
            }
        }
        if (!dest)
            return nullptr;
        auto *gotoAction = new G_ActionGoto;
        G_Dest &d = gotoAction->Dest();
        d.type = DestType(dest->AttributeOrChild(QStringLiteral("Type")));
        OFD_XmlElement::ParseUInt(dest->AttributeOrChild(QStringLiteral("PageID")), d.pageID);
        d.pageIndex = m_document->PageIndexByID(d.pageID);
        d.left = DestValue(*dest, QStringLiteral("Left"));
        d.top = DestValue(*dest, QStringLiteral("Top"));
        d.right = DestValue(*dest, QStringLiteral("Right"));
        d.bottom = DestValue(*dest, QStringLiteral("Bottom"));
        d.zoom = DestValue(*dest, QStringLiteral("Zoom"));
        action = gotoAction;
    } else if (const OFD_XmlElement *uri = element.Child(QStringLiteral("URI"))) {
        auto *uriAction = new G_ActionURI;
        uriAction->SetURI(uri->HasAttribute(QStringLiteral("URI")) ? OFD_Utf8(uri->Utf8Attribute(QStringLiteral("URI")))
                                                                   : OFD_ToUtf8(uri->AttributeOrChild(QStringLiteral("URI"))));
        uriAction->SetBase(OFD_Utf8(uri->Utf8Attribute(QStringLiteral("Base"))));
        uriAction->SetTarget(OFD_Utf8(uri->Utf8Attribute(QStringLiteral("Target"))));
        action = uriAction;
    } else if (const OFD_XmlElement *gotoA = element.Child(QStringLiteral("GotoA"))) {
        auto *gotoAAction = new G_ActionGotoA;
        gotoAAction->SetAttachID(gotoA->UIntAttribute(QStringLiteral("AttachID")));
        gotoAAction->SetNewWindow(gotoA->BoolAttribute(QStringLiteral("NewWindow"), true));
        action = gotoAAction;
    } else if (const OFD_XmlElement *sound = element.Child(QStringLiteral("Sound"))) {
        auto *soundAction = new G_ActionSound;
        soundAction->SetResourceID(sound->UIntAttribute(QStringLiteral("ResourceID")));
        soundAction->SetVolume(qBound(0, sound->IntAttribute(QStringLiteral("Volume"), 100), 100));
        soundAction->SetRepeat(sound->BoolAttribute(QStringLiteral("Repeat"), false));
        soundAction->SetSynchronous(sound->BoolAttribute(QStringLiteral("Synchronous"), false));
        action = soundAction;
    } else if (const OFD_XmlElement *movie = element.Child(QStringLiteral("Movie"))) {
        auto *movieAction = new G_ActionMovie;
        movieAction->SetResourceID(movie->UIntAttribute(QStringLiteral("ResourceID")));
        movieAction->SetOperator(MovieOperator(movie->Attribute(QStringLiteral("Operator"))));
        action = movieAction;
    }
    if (action)
        action->SetEvent(event);
    return action;
}

CCA_ArrayTemplate<G_Action *> OFD_ContentReader::ReadActions(const OFD_XmlElement &actions) const
{
    CCA_ArrayTemplate<G_Action *> list;
    for (int i = 0; i < actions.ChildCount(); ++i)
        if (actions.ChildAt(i)->Is(QStringLiteral("Action")))
            if (G_Action *action = ReadAction(*actions.ChildAt(i)))
                list.Add(action);
    return list;
}

OFD_Annot *OFD_ContentReader::ReadAnnot(const OFD_XmlElement &element, OFD_Page &page, bool freshID) const
{
    if (!element.Is(QStringLiteral("Annot")))
        return nullptr;
    const std::string_view typeUtf8 = element.Utf8Attribute(QStringLiteral("Type"));
    int type = AnnotTypeFromString(OFD_Utf8(typeUtf8));
    if (type == G_AnnotType_Unknown) {
        const QString typeText = QString::fromUtf8(typeUtf8.data(), int(typeUtf8.size()));
        for (int t = G_AnnotType_Link; type == G_AnnotType_Unknown && t <= G_AnnotType_Watermark; ++t)
            if (typeText.compare(QString::fromUtf8(AnnotTypeToString(t).c_str()), Qt::CaseInsensitive) == 0)
                type = t;
    }
    const uint32_t id = freshID ? 0 : element.UIntAttribute(QStringLiteral("ID"));
    OFD_Annot *annot = page.AppendLoadedAnnot(type, id);
    if (!annot)
        return nullptr;
    OFD_LoadingScope loading(m_document->Context().get());
    annot->SetSubType(OFD_Utf8(element.HasAttribute(QStringLiteral("Subtype")) ? element.Utf8Attribute(QStringLiteral("Subtype"))
                                                                               : element.Utf8Attribute(QStringLiteral("SubType"))));
    annot->SetCreator(OFD_Utf8(element.Utf8Attribute(QStringLiteral("Creator"))));
    std::string_view date = element.Utf8Attribute(QStringLiteral("LastModDate"));
    annot->SetVisible(element.BoolAttribute(QStringLiteral("Visible"), true));
    annot->SetPrint(element.BoolAttribute(QStringLiteral("Print"), true));
    annot->SetNoZoom(element.BoolAttribute(QStringLiteral("NoZoom"), false));
    annot->SetNoRotate(element.BoolAttribute(QStringLiteral("NoRotate"), false));
    annot->SetReadOnly(element.BoolAttribute(QStringLiteral("ReadOnly"), true));
    annot->SetRemark(OFD_Utf8(ChildUtf8(element, QStringLiteral("Remark"))));
    static const QByteArray dateTimeName = OFD_XmlSerializer::DateTimeParameter().toUtf8();
    std::vector<std::pair<CCA_String, CCA_String>> parameters;
    if (const OFD_XmlElement *list = element.Child(QStringLiteral("Parameters"))) {
        for (int i = 0; i < list->ChildCount(); ++i) {
            const OFD_XmlElement *parameter = list->ChildAt(i);
            if (!parameter->Is(QStringLiteral("Parameter")))
                continue;
            const std::string_view name = parameter->Utf8Attribute(QStringLiteral("Name"));
            const std::string_view text = parameter->Utf8Text();
            // The full time is ours only while its date agrees with LastModDate.
            if (name == std::string_view(dateTimeName.constData(), size_t(dateTimeName.size()))) {
                const QString dateText = QString::fromUtf8(date.data(), int(date.size())).trimmed();
                if (dateText.isEmpty()
                    || OFD_XmlSerializer::XsDate(QString::fromUtf8(text.data(), int(text.size()))) == dateText) {
                    date = text;
                    continue;
                }
            }
            parameters.emplace_back(OFD_Utf8(name), OFD_Utf8(text));
        }
    }
    annot->SetParameters(parameters);
    annot->SetLastModDate(OFD_Utf8(date));
    if (const OFD_XmlElement *appearanceElement = element.Child(QStringLiteral("Appearance"))) {
        CCA_GRect box;
        if (BoxAttribute(*appearanceElement, QStringLiteral("Boundary"), box))
            annot->SetBoundary(box);
        annot->CreateAppearance();
        OFD_Appearance *appearance = annot->OFDAppearance();
        std::vector<std::unique_ptr<IG_PageObject>> objects;
        ReadBlock(*appearanceElement, 0, objects);
        for (auto &object : objects)
            appearance->AddPageObject(std::move(object));
    }
    return annot;
}
