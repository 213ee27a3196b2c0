#pragma once

#include <string>

// 8-bit text; the host keeps UTF-8 in it.
class CCA_String
{
public:
    CCA_String() = default;
    CCA_String(const char *text, int length = -1);
    CCA_String(const std::string &text);

    const char *c_str() const { return m_data.c_str(); }
    operator const char *() const { return m_data.c_str(); }
    int GetLength() const { return int(m_data.size()); }
    bool IsEmpty() const { return m_data.empty(); }
    const std::string &StdString() const { return m_data; }

    CCA_String &operator+=(const CCA_String &other);
    friend CCA_String operator+(const CCA_String &a, const CCA_String &b);
    bool operator==(const CCA_String &other) const { return m_data == other.m_data; }
    bool operator!=(const CCA_String &other) const { return m_data != other.m_data; }
    bool operator==(const char *other) const { return m_data == (other ? other : ""); }
    bool operator!=(const char *other) const { return !(*this == other); }
    bool operator<(const CCA_String &other) const { return m_data < other.m_data; }

private:
    std::string m_data;
};
