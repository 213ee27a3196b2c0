#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class G_Action;
class IG_Annot;
class IG_Color;
class IG_Document;
class IG_PageObject;
class OFD_ImageObject;
class OFD_TextObject;
class OFD_XmlElement;

// Model objects as OFD elements. The same object always gives the same element, which the
// package writer relies on to tell changed annotations from unchanged ones.
class OFD_XmlSerializer
{
public:
    // The annotation parameter that keeps the full "yyyy-MM-dd hh:mm:ss" modification time,
    // since LastModDate holds a date only.
    static const QString &DateTimeParameter();

    // Resource IDs to write for objects whose own reference is not in the package being
    // written (a new package); unset members keep the objects' own references.
    struct ResourceMap
    {
        std::function<uint32_t(const OFD_TextObject &)> fontID;
        std::function<uint32_t(const OFD_ImageObject &)> imageID;
    };

    // `typeText` is written when the annotation's type has no name of its own.
    static std::unique_ptr<OFD_XmlElement> AnnotElement(const IG_Annot &annot, const QString &typeText = QString(),
                                                        const ResourceMap *resources = nullptr);
    // Null for objects of unknown type.
    static std::unique_ptr<OFD_XmlElement> PageObjectElement(const IG_PageObject &object,
                                                             const IG_Document *document,
                                                             const ResourceMap *resources = nullptr);
    // Null when none of the actions can be written.
    static std::unique_ptr<OFD_XmlElement> ActionsElement(const CCA_ArrayTemplate<G_Action *> &actions,
                                                          const IG_Document *document);
    static std::unique_ptr<OFD_XmlElement> ColorElement(const QString &name, const IG_Color &color);

    // "x y width height", written so that reading it back gives the same float rectangle.
    static QString BoxText(const CCA_GRect &rect);
    static QString FloatText(float value);
    static QString MatrixText(const CCA_Matrix &matrix);
    // The xs:date of a date text in any of the forms seen in real files; empty when none.
    static QString XsDate(const QString &text);
};
