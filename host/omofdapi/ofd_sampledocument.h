#pragma once

#include <QString>

#include <memory>

class OFD_Document;

// The reader's sample document: a few A4 pages of text, two attachments, an audio and a
// video resource and one link, so that every kind of link action can be tried on it.
class OFD_SampleDocument
{
public:
    static std::unique_ptr<OFD_Document> Create();
    // Writes the sample package to `filePath`; false with a reason when it could not.
    static bool Write(const QString &filePath, QString *error);
};
