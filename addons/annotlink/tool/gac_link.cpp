#include "tool/gac_link.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_pageobject.h"
#include "omutility/omjsonfactory.h"
#include "uiframework/gq_convert.h"

#include <QDebug>

#include <algorithm>

namespace {

OMSharedPtr<OMJson> PointJson(double x, double y)
{
    OMSharedPtr<OMJson> point = OMJson::NewArray();
    point->Append(OMJson::MakeDouble(float(x)));
    point->Append(OMJson::MakeDouble(float(y)));
    return point;
}

} // namespace

GAC_Link::GAC_Link(G_DocView *view, QObject *parent)
    : QObject(parent)
{
    SetDocView(view);
    SetTypeName("Link");
    SetAnnotType(1);
}

GAC_Link::~GAC_Link() = default;

OMSharedPtr<OMJson> GAC_Link::BuildAppearanceJson()
{
    if (m_points.isEmpty())
        return OMSharedPtr<OMJson>();
    OMSharedPtr<OMJson> json = OMJsonFactory::ParseJsonString("{}");
    if (!json)
        return OMSharedPtr<OMJson>();
    json->Set("SubType", OMJson::MakeString("Link"));

    OMSharedPtr<OMJson> appearance = OMJson::NewArray();
    for (const G_PointPair &pair : qAsConst(m_points)) {
        OMSharedPtr<OMJson> element = OMJson::NewObject();
        element->Set("Type", OMJson::MakeString(PageObjTypeToString(G_PageObj_Path).StdString()));

        OMSharedPtr<OMJson> stroke = OMJson::NewObject();
        stroke->Set("Alpha", OMJson::MakeInt(0));
        stroke->Set("ColorSpace", OMJson::MakeInt(2));
        stroke->Set("ColorValue", OMJson::MakeInt(0));
        element->Set("StrokeColor", stroke);

        OMSharedPtr<OMJson> points = OMJson::NewArray();
        points->Append(PointJson(pair.x1, pair.y1));
        points->Append(PointJson(pair.x2, pair.y2));
        OMSharedPtr<OMJson> link = OMJson::NewObject();
        link->Set("Points", points);
        element->Set("Link", link);

        appearance->Append(element);
    }
    json->Set("Appearance", appearance);

    qDebug().noquote() << GQ_ToQStringFromUtf8(OMJsonFactory::BuildJsonString(json));
    return json;
}

IG_Annot *GAC_Link::CreateLinkAnnot(double x1, double y1, double x2, double y2, int pageIndex)
{
    const double left = std::min(x1, x2);
    const double top = std::min(y1, y2);
    const double right = std::max(x1, x2);
    const double bottom = std::max(y1, y2);

    SetAnnotType(1);
    SetTypeName("Link");
    m_points.clear();
    G_PointPair pair;
    pair.x1 = left;
    pair.y1 = top;
    pair.x2 = right;
    pair.y2 = bottom;
    m_points.append(pair);
    SetPageIndex(pageIndex);
    SetAnnot(nullptr);

    Flush(CCA_GRect(float(left), float(top), float(right), float(bottom)), true);
    IG_Annot *annot = Annot();
    if (annot)
        annot->SetSubType("Link");
    return annot;
}
