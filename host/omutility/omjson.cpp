#include "omjson.h"

#include <cmath>
#include <limits>

OMSharedPtr<OMJson> OMJson::NewObject()
{
    auto json = std::make_shared<OMJson>();
    json->SetObject();
    return json;
}

OMSharedPtr<OMJson> OMJson::NewArray()
{
    auto json = std::make_shared<OMJson>();
    json->SetArray();
    return json;
}

void OMJson::SetBool(bool value)
{
    *this = OMJson();
    m_type = Bool;
    m_bool = value;
}

void OMJson::SetInt(long long value)
{
    *this = OMJson();
    m_type = Int;
    m_int = value;
}

void OMJson::SetDouble(double value)
{
    *this = OMJson();
    m_type = Double;
    m_double = value;
}

void OMJson::SetString(const std::string &value)
{
    *this = OMJson();
    m_type = String;
    m_string = value;
}

void OMJson::SetArray()
{
    *this = OMJson();
    m_type = Array;
}

void OMJson::SetObject()
{
    *this = OMJson();
    m_type = Object;
}

bool OMJson::GetBool(bool fallback) const
{
    return m_type == Bool ? m_bool : fallback;
}

long long OMJson::GetInt(long long fallback) const
{
    if (m_type == Int)
        return m_int;
    // Only doubles that a long long can hold convert; 2^63 itself does not.
    if (m_type == Double && std::isfinite(m_double) && m_double >= -9223372036854775808.0
        && m_double < 9223372036854775808.0)
        return static_cast<long long>(m_double);
    return fallback;
}

double OMJson::GetDouble(double fallback) const
{
    if (m_type == Double)
        return m_double;
    if (m_type == Int)
        return double(m_int);
    return fallback;
}

std::string OMJson::GetString(const std::string &fallback) const
{
    return m_type == String ? m_string : fallback;
}

int OMJson::Size() const
{
    if (m_type == Array)
        return int(m_items.size());
    if (m_type == Object)
        return int(m_members.size());
    return 0;
}

OMSharedPtr<OMJson> OMJson::At(int index) const
{
    if (m_type != Array || index < 0 || index >= int(m_items.size()))
        return nullptr;
    return m_items[size_t(index)];
}

void OMJson::Append(const OMSharedPtr<OMJson> &value)
{
    // A null value becomes an array on first use; other kinds are left alone.
    if (m_type == Null)
        m_type = Array;
    if (m_type != Array)
        return;
    m_items.push_back(value ? value : std::make_shared<OMJson>());
}

bool OMJson::Has(const std::string &key) const
{
    return bool(Member(key));
}

OMSharedPtr<OMJson> OMJson::Member(const std::string &key) const
{
    if (m_type != Object)
        return nullptr;
    for (const auto &member : m_members)
        if (member.first == key)
            return member.second;
    return nullptr;
}

void OMJson::Set(const std::string &key, const OMSharedPtr<OMJson> &value)
{
    if (m_type == Null)
        m_type = Object;
    if (m_type != Object)
        return;
    OMSharedPtr<OMJson> stored = value ? value : std::make_shared<OMJson>();
    for (auto &member : m_members) {
        if (member.first == key) {
            member.second = stored;
            return;
        }
    }
    m_members.emplace_back(key, stored);
}

std::vector<std::string> OMJson::Keys() const
{
    std::vector<std::string> keys;
    if (m_type == Object)
        for (const auto &member : m_members)
            keys.push_back(member.first);
    return keys;
}

OMSharedPtr<OMJson> OMJson::MakeBool(bool value)
{
    auto json = std::make_shared<OMJson>();
    json->SetBool(value);
    return json;
}

OMSharedPtr<OMJson> OMJson::MakeInt(long long value)
{
    auto json = std::make_shared<OMJson>();
    json->SetInt(value);
    return json;
}

OMSharedPtr<OMJson> OMJson::MakeDouble(double value)
{
    auto json = std::make_shared<OMJson>();
    json->SetDouble(value);
    return json;
}

OMSharedPtr<OMJson> OMJson::MakeString(const std::string &value)
{
    auto json = std::make_shared<OMJson>();
    json->SetString(value);
    return json;
}
