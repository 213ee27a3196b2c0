#include "cca_string.h"

#include <cstring>

CCA_String::CCA_String(const char *text, int length)
{
    if (!text)
        return;
    if (length < 0)
        m_data.assign(text);
    else
        m_data.assign(text, size_t(length));
}

CCA_String::CCA_String(const std::string &text)
    : m_data(text)
{
}

CCA_String &CCA_String::operator+=(const CCA_String &other)
{
    m_data += other.m_data;
    return *this;
}

CCA_String operator+(const CCA_String &a, const CCA_String &b)
{
    CCA_String result(a);
    result += b;
    return result;
}
