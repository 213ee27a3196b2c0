#pragma once

#include "ombase/cca_string.h"

#include <QByteArray>
#include <QString>

#include <string_view>

// The model's strings hold UTF-8.
inline CCA_String OFD_ToUtf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return CCA_String(bytes.constData(), bytes.size());
}

inline CCA_String OFD_Utf8(std::string_view text)
{
    return CCA_String(text.data(), int(text.size()));
}

inline QString OFD_FromUtf8(const CCA_String &text)
{
    return QString::fromUtf8(text.c_str(), text.GetLength());
}
