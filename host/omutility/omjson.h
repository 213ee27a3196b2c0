#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

template <class T>
using OMSharedPtr = std::shared_ptr<T>;

// A mutable JSON value. Objects keep their members in insertion order.
class OMJson
{
public:
    enum Type { Null, Bool, Int, Double, String, Array, Object };

    OMJson() = default;
    static OMSharedPtr<OMJson> NewObject();
    static OMSharedPtr<OMJson> NewArray();

    Type GetType() const { return m_type; }
    bool IsNull() const { return m_type == Null; }
    bool IsObject() const { return m_type == Object; }
    bool IsArray() const { return m_type == Array; }

    void SetNull() { *this = OMJson(); }
    void SetBool(bool value);
    void SetInt(long long value);
    void SetDouble(double value);
    void SetString(const std::string &value);
    void SetArray();
    void SetObject();

    bool GetBool(bool fallback = false) const;
    long long GetInt(long long fallback = 0) const;
    double GetDouble(double fallback = 0) const;
    std::string GetString(const std::string &fallback = std::string()) const;

    // Arrays
    int Size() const;
    OMSharedPtr<OMJson> At(int index) const;
    void Append(const OMSharedPtr<OMJson> &value);

    // Objects: Member() answers null when absent; Set() replaces or appends.
    bool Has(const std::string &key) const;
    OMSharedPtr<OMJson> Member(const std::string &key) const;
    void Set(const std::string &key, const OMSharedPtr<OMJson> &value);
    std::vector<std::string> Keys() const;

    static OMSharedPtr<OMJson> MakeBool(bool value);
    static OMSharedPtr<OMJson> MakeInt(long long value);
    static OMSharedPtr<OMJson> MakeDouble(double value);
    static OMSharedPtr<OMJson> MakeString(const std::string &value);

private:
    Type m_type = Null;
    bool m_bool = false;
    long long m_int = 0;
    double m_double = 0;
    std::string m_string;
    std::vector<OMSharedPtr<OMJson>> m_items;
    std::vector<std::pair<std::string, OMSharedPtr<OMJson>>> m_members;
};
