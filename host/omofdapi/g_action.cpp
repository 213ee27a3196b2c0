#include "g_action.h"

#include "omutility/omjsonfactory.h"

#include <cmath>
#include <limits>

// Text form of an action: one JSON object naming the class ("type"), the type code and
// event, and every field. Floats that JSON cannot hold (NaN, infinities) are written as
// the strings "NaN", "Infinity" and "-Infinity".

namespace {

const char *const ActionNames[] = {"", "Goto", "URI", "Sound", "Movie", "GotoA"};

bool SameFloat(float a, float b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

OMSharedPtr<OMJson> FloatJson(float value)
{
    if (std::isnan(value))
        return OMJson::MakeString("NaN");
    if (std::isinf(value))
        return OMJson::MakeString(value > 0 ? "Infinity" : "-Infinity");
    return OMJson::MakeDouble(double(value));
}

OMSharedPtr<OMJson> TextJson(const CCA_String &text)
{
    return OMJson::MakeString(text.StdString());
}

// Reads the object of `text` when it names the action class `type`.
OMSharedPtr<OMJson> ParseFor(const CCA_String &text, int type)
{
    OMSharedPtr<OMJson> json = OMJsonFactory::ParseJsonString(text);
    if (!json || !json->IsObject())
        return nullptr;
    const OMSharedPtr<OMJson> name = json->Member("type");
    if (!name || name->GetType() != OMJson::String || name->GetString() != ActionNames[type])
        return nullptr;
    return json;
}

bool ReadFloat(const OMJson &object, const char *key, float &out)
{
    const OMSharedPtr<OMJson> v = object.Member(key);
    if (!v)
        return false;
    if (v->GetType() == OMJson::String) {
        const std::string s = v->GetString();
        if (s == "NaN")
            out = std::numeric_limits<float>::quiet_NaN();
        else if (s == "Infinity")
            out = std::numeric_limits<float>::infinity();
        else if (s == "-Infinity")
            out = -std::numeric_limits<float>::infinity();
        else
            return false;
        return true;
    }
    if (v->GetType() != OMJson::Int && v->GetType() != OMJson::Double)
        return false;
    const double d = v->GetDouble();
    if (!std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max()))
        return false;
    out = float(d);
    return true;
}

bool ReadInt(const OMJson &object, const char *key, long long low, long long high, long long &out)
{
    const OMSharedPtr<OMJson> v = object.Member(key);
    if (!v || v->GetType() != OMJson::Int || v->GetInt() < low || v->GetInt() > high)
        return false;
    out = v->GetInt();
    return true;
}

bool ReadInt32(const OMJson &object, const char *key, int &out)
{
    long long v = 0;
    if (!ReadInt(object, key, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v))
        return false;
    out = int(v);
    return true;
}

bool ReadUInt32(const OMJson &object, const char *key, uint32_t &out)
{
    long long v = 0;
    if (!ReadInt(object, key, 0, std::numeric_limits<uint32_t>::max(), v))
        return false;
    out = uint32_t(v);
    return true;
}

bool ReadBool(const OMJson &object, const char *key, bool &out)
{
    const OMSharedPtr<OMJson> v = object.Member(key);
    if (!v || v->GetType() != OMJson::Bool)
        return false;
    out = v->GetBool();
    return true;
}

bool ReadText(const OMJson &object, const char *key, CCA_String &out)
{
    const OMSharedPtr<OMJson> v = object.Member(key);
    if (!v || v->GetType() != OMJson::String)
        return false;
    out = CCA_String(v->GetString());
    return true;
}

OMSharedPtr<OMJson> Header(int classType, int code, int event)
{
    OMSharedPtr<OMJson> json = OMJson::NewObject();
    json->Set("type", OMJson::MakeString(ActionNames[classType]));
    json->Set("code", OMJson::MakeInt(code));
    json->Set("event", OMJson::MakeInt(event));
    return json;
}

bool ReadHeader(const OMJson &json, int &code, int &event)
{
    return ReadInt32(json, "code", code) && ReadInt32(json, "event", event);
}

CCA_String Text(const OMSharedPtr<OMJson> &json)
{
    return OMJsonFactory::BuildJsonString(json);
}

} // namespace

CCA_String ActionTypeToString(int type)
{
    if (type < G_ActionType_Goto || type > G_ActionType_GotoA)
        return CCA_String();
    return CCA_String(ActionNames[type]);
}

int ActionTypeFromString(const CCA_String &text)
{
    for (int type = G_ActionType_Goto; type <= G_ActionType_GotoA; ++type)
        if (text == ActionNames[type])
            return type;
    return G_ActionType_Unknown;
}

bool operator==(const G_Action &a, const G_Action &b)
{
    return a.Equals(b);
}

bool G_Action::Equals(const G_Action &other) const
{
    return m_type == other.m_type && m_event == other.m_event;
}

bool G_Dest::operator==(const G_Dest &o) const
{
    return pageIndex == o.pageIndex && pageID == o.pageID && SameFloat(left, o.left)
        && SameFloat(right, o.right) && SameFloat(top, o.top) && SameFloat(bottom, o.bottom)
        && SameFloat(zoom, o.zoom) && type == o.type;
}

CCA_String G_ActionGoto::ToString() const
{
    OMSharedPtr<OMJson> json = Header(G_ActionType_Goto, m_type, m_event);
    OMSharedPtr<OMJson> dest = OMJson::NewObject();
    dest->Set("pageIndex", OMJson::MakeInt(m_dest.pageIndex));
    dest->Set("pageID", OMJson::MakeInt(m_dest.pageID));
    dest->Set("left", FloatJson(m_dest.left));
    dest->Set("right", FloatJson(m_dest.right));
    dest->Set("top", FloatJson(m_dest.top));
    dest->Set("bottom", FloatJson(m_dest.bottom));
    dest->Set("zoom", FloatJson(m_dest.zoom));
    dest->Set("type", OMJson::MakeInt(m_dest.type));
    json->Set("dest", dest);
    return Text(json);
}

bool G_ActionGoto::FromString(const CCA_String &text)
{
    const OMSharedPtr<OMJson> json = ParseFor(text, G_ActionType_Goto);
    if (!json)
        return false;
    int code = 0, event = 0;
    G_Dest dest;
    const OMSharedPtr<OMJson> d = json->Member("dest");
    if (!ReadHeader(*json, code, event) || !d || !d->IsObject())
        return false;
    if (!ReadInt32(*d, "pageIndex", dest.pageIndex) || !ReadUInt32(*d, "pageID", dest.pageID)
        || !ReadFloat(*d, "left", dest.left) || !ReadFloat(*d, "right", dest.right)
        || !ReadFloat(*d, "top", dest.top) || !ReadFloat(*d, "bottom", dest.bottom)
        || !ReadFloat(*d, "zoom", dest.zoom) || !ReadInt32(*d, "type", dest.type))
        return false;
    m_type = code;
    m_event = event;
    m_dest = dest;
    return true;
}

bool G_ActionGoto::Equals(const G_Action &other) const
{
    const auto *o = dynamic_cast<const G_ActionGoto *>(&other);
    return o && G_Action::Equals(other) && m_dest == o->m_dest;
}

CCA_String G_ActionURI::ToString() const
{
    OMSharedPtr<OMJson> json = Header(G_ActionType_URI, m_type, m_event);
    json->Set("uri", TextJson(m_uri));
    json->Set("base", TextJson(m_base));
    json->Set("target", TextJson(m_target));
    return Text(json);
}

bool G_ActionURI::FromString(const CCA_String &text)
{
    const OMSharedPtr<OMJson> json = ParseFor(text, G_ActionType_URI);
    if (!json)
        return false;
    int code = 0, event = 0;
    CCA_String uri, base, target;
    if (!ReadHeader(*json, code, event) || !ReadText(*json, "uri", uri)
        || !ReadText(*json, "base", base) || !ReadText(*json, "target", target))
        return false;
    m_type = code;
    m_event = event;
    m_uri = uri;
    m_base = base;
    m_target = target;
    return true;
}

bool G_ActionURI::Equals(const G_Action &other) const
{
    const auto *o = dynamic_cast<const G_ActionURI *>(&other);
    return o && G_Action::Equals(other) && m_uri == o->m_uri && m_base == o->m_base
        && m_target == o->m_target;
}

CCA_String G_ActionGotoA::ToString() const
{
    OMSharedPtr<OMJson> json = Header(G_ActionType_GotoA, m_type, m_event);
    json->Set("attachID", OMJson::MakeInt(m_attachID));
    json->Set("newWindow", OMJson::MakeBool(m_newWindow));
    return Text(json);
}

bool G_ActionGotoA::FromString(const CCA_String &text)
{
    const OMSharedPtr<OMJson> json = ParseFor(text, G_ActionType_GotoA);
    if (!json)
        return false;
    int code = 0, event = 0;
    uint32_t attachID = 0;
    bool newWindow = true;
    if (!ReadHeader(*json, code, event) || !ReadUInt32(*json, "attachID", attachID)
        || !ReadBool(*json, "newWindow", newWindow))
        return false;
    m_type = code;
    m_event = event;
    m_attachID = attachID;
    m_newWindow = newWindow;
    return true;
}

bool G_ActionGotoA::Equals(const G_Action &other) const
{
    const auto *o = dynamic_cast<const G_ActionGotoA *>(&other);
    return o && G_Action::Equals(other) && m_attachID == o->m_attachID
        && m_newWindow == o->m_newWindow;
}

CCA_String G_ActionSound::ToString() const
{
    OMSharedPtr<OMJson> json = Header(G_ActionType_Sound, m_type, m_event);
    json->Set("resourceID", OMJson::MakeInt(m_resourceID));
    json->Set("volume", OMJson::MakeInt(m_volume));
    json->Set("repeat", OMJson::MakeBool(m_repeat));
    json->Set("synchronous", OMJson::MakeBool(m_synchronous));
    return Text(json);
}

bool G_ActionSound::FromString(const CCA_String &text)
{
    const OMSharedPtr<OMJson> json = ParseFor(text, G_ActionType_Sound);
    if (!json)
        return false;
    int code = 0, event = 0, volume = 0;
    uint32_t resourceID = 0;
    bool repeat = false, synchronous = false;
    if (!ReadHeader(*json, code, event) || !ReadUInt32(*json, "resourceID", resourceID)
        || !ReadInt32(*json, "volume", volume) || !ReadBool(*json, "repeat", repeat)
        || !ReadBool(*json, "synchronous", synchronous))
        return false;
    m_type = code;
    m_event = event;
    m_resourceID = resourceID;
    m_volume = volume;
    m_repeat = repeat;
    m_synchronous = synchronous;
    return true;
}

bool G_ActionSound::Equals(const G_Action &other) const
{
    const auto *o = dynamic_cast<const G_ActionSound *>(&other);
    return o && G_Action::Equals(other) && m_resourceID == o->m_resourceID
        && m_volume == o->m_volume && m_repeat == o->m_repeat && m_synchronous == o->m_synchronous;
}

CCA_String G_ActionMovie::ToString() const
{
    OMSharedPtr<OMJson> json = Header(G_ActionType_Movie, m_type, m_event);
    json->Set("resourceID", OMJson::MakeInt(m_resourceID));
    json->Set("operator", OMJson::MakeInt(m_operator));
    return Text(json);
}

bool G_ActionMovie::FromString(const CCA_String &text)
{
    const OMSharedPtr<OMJson> json = ParseFor(text, G_ActionType_Movie);
    if (!json)
        return false;
    int code = 0, event = 0, op = 0;
    uint32_t resourceID = 0;
    if (!ReadHeader(*json, code, event) || !ReadUInt32(*json, "resourceID", resourceID)
        || !ReadInt32(*json, "operator", op))
        return false;
    m_type = code;
    m_event = event;
    m_resourceID = resourceID;
    m_operator = op;
    return true;
}

bool G_ActionMovie::Equals(const G_Action &other) const
{
    const auto *o = dynamic_cast<const G_ActionMovie *>(&other);
    return o && G_Action::Equals(other) && m_resourceID == o->m_resourceID
        && m_operator == o->m_operator;
}
