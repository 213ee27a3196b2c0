#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <utility>
#include <vector>

// expat's parser handle, without its header in ours.
struct XML_ParserStruct;

// The one XML reader of the model: a stream of elements and text over a whole part, in UTF-8.
// Names arrive as written ("prefix:local"); namespaces are the handler's business. Entity
// declarations are refused, so no part expands beyond its bytes; no external entity is read.
// Parts declared in an encoding other than UTF-8, UTF-16, ISO-8859-1 or ASCII are converted
// first. One parser may read many parts in turn, which saves its setup on small ones.
// Plain UTF-8 markup (ASCII names; no comments, CDATA, processing instructions, DOCTYPE,
// carriage returns or references in text) is read here at a fraction of expat's cost; at the
// first thing outside it, expat reads the part from its start and hands on only what follows
// what was handed on already, so a handler sees the same stream either way.
class OFD_XmlParser
{
public:
    class Handler
    {
    public:
        virtual ~Handler() = default;
        // `attributes` holds name, value pairs and ends with a null name.
        virtual void StartElement(OFD_XmlParser &parser, const char *name, const char **attributes) = 0;
        virtual void EndElement(OFD_XmlParser &parser) = 0;
        // A piece of character data; a run of text may come in several pieces.
        virtual void Text(OFD_XmlParser &parser, const char *text, int length) = 0;
        // Markup that ends a run of text without being an element: a comment, a processing
        // instruction, either end of a CDATA section (`cdata` tells which side the run is on).
        virtual void Break(OFD_XmlParser &parser, bool cdata) = 0;
    };

    enum Result { Finished, Stopped, Failed };

    OFD_XmlParser();
    ~OFD_XmlParser();
    OFD_XmlParser(const OFD_XmlParser &) = delete;
    OFD_XmlParser &operator=(const OFD_XmlParser &) = delete;

    // Failed with a reason for text that is not well formed or that a handler failed.
    Result Parse(const QByteArray &data, Handler &handler, QString *error);

    // From a handler: end the parse here, as done or as failed with `message`.
    void Stop();
    void Fail(const QString &message);
    // "not well formed" with the current position and `reason`.
    QString Malformed(const QString &reason) const;
    // From Text: whether the current piece was written as a character or entity reference.
    bool TextIsReference() const;

    // Whether plain markup is read without expat (on by default; off to compare the two).
    void SetPlainReading(bool on) { m_plainReading = on; }

private:
    friend struct OFD_XmlParserCallbacks;

    bool ReadPlain(Handler &handler);
    bool ReadStartTag(const uchar *&at, const uchar *end, bool &empty);
    bool Resumed(bool end = false);

    XML_ParserStruct *m_parser = nullptr;
    quint64 m_salt = 0;
    Handler *m_handler = nullptr;
    const char *m_input = nullptr;
    int m_inputSize = 0;
    int m_skipped = 0; // bytes of the prolog that expat was not given
    bool m_stopped = false;
    QString m_failure;

    bool m_plainReading = true;
    bool m_plainActive = false;  // events come from ReadPlain
    int m_plainAt = 0;           // where the event being handed on starts
    int m_resumeAt = 0;          // expat hands on nothing before this
    bool m_resumeEndsEmpty = false; // nor the end of the empty element just before it
    std::unique_ptr<char[]> m_copy; // the part, for names and values to end in nulls
    int m_copyRoom = 0;
    int m_copied = 0;            // how much of the part is in m_copy
    std::vector<const char *> m_attributes; // the element's name, then attributes as expat hands them on
    std::vector<std::pair<int, int>> m_open; // where the names of the open elements are, and their lengths
};
