#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class G_Action;
class IG_PageObject;
class OFD_Annot;
class OFD_Document;
class OFD_Page;
class OFD_Resources;
class OFD_XmlElement;
class OFD_ZipArchive;

// Builds model objects from parsed page and annotation elements: graphic units with their
// drawing parameters, colours, text, clips and actions. Values that are not what they should
// be are skipped in favour of OFD's defaults.
class OFD_ContentReader
{
public:
    OFD_ContentReader(OFD_Document *document, const OFD_Resources &resources,
                      std::shared_ptr<OFD_ZipArchive> archive,
                      const QHash<QString, std::shared_ptr<OFD_XmlElement>> *bookmarks = nullptr);

    // Appends the graphic units of a page block (layer, page block, appearance) in painting
    // order; `drawParam` is the block's inherited drawing parameter.
    void ReadBlock(const OFD_XmlElement &block, uint32_t drawParam,
                   std::vector<std::unique_ptr<IG_PageObject>> &objects) const;
    // Null for elements that are no graphic unit.
    std::unique_ptr<IG_PageObject> ReadObject(const OFD_XmlElement &element, uint32_t drawParam) const;
    // The actions of an Actions element; the caller owns them.
    CCA_ArrayTemplate<G_Action *> ReadActions(const OFD_XmlElement &actions) const;
    // Appends the annotation to `page`. With `freshID` it gets a new identifier instead of
    // the one in the file (already taken). Null when `element` is no Annot.
    OFD_Annot *ReadAnnot(const OFD_XmlElement &element, OFD_Page &page, bool freshID) const;

    // "x y width height" as left, top, right, bottom.
    static bool ParseBox(const QString &text, CCA_GRect &rect);
    static bool ParseBox(std::string_view text, CCA_GRect &rect); // UTF-8
    static bool ParseMatrix(const QString &text, CCA_Matrix &matrix);
    // A DeltaX/DeltaY list with its "g count value" repeats expanded.
    static std::vector<float> ParseDeltas(const QString &text);

private:
    std::function<QByteArray()> EntryProvider(const QString &path) const;
    G_Action *ReadAction(const OFD_XmlElement &action) const;
    template <class Unit>
    void ReadUnit(const OFD_XmlElement &element, uint32_t drawParam, Unit &unit) const;

    OFD_Document *m_document;
    const OFD_Resources &m_resources;
    std::shared_ptr<OFD_ZipArchive> m_archive;
    const QHash<QString, std::shared_ptr<OFD_XmlElement>> *m_bookmarks;
    mutable QHash<QString, std::function<QByteArray()>> m_providers;
};
