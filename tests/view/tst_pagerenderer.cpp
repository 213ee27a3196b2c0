#include "uiframework/g_pagerenderer.h"

#include "omofdapi/ofd_color.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"

#include "testgeometry.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// A filled, unstroked path object.
IG_PageObject *FillObject(IG_PageObject *object, const CCA_GRect &boundary, const CCA_Path &path,
                          uint32_t rgb)
{
    const OFD_Color color(G_ColorSpace_RGB, rgb, 255);
    object->SetBoundary(boundary);
    object->SetPath(path);
    object->SetFill(true);
    object->SetFillColor(&color);
    object->SetStroke(false);
    return object;
}

const uint32_t kRed = 0x0000FF;  // red in the low byte
const uint32_t kBlue = 0xFF0000;

} // namespace

// Pages are drawn at 2 pixels per millimetre: pixel = 2 * mm.
class tst_PageRenderer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_document = OFD_Document::CreateBlank(1, 100, 100);
        m_page = m_document->Page(0);
    }

    void contentIsPlacedByBoundaryAndClipped()
    {
        // Path from (0,0) to (40,20) in an object at (10,10): page 10..50 x 10..30.
        FillObject(m_page->CreatePageObject(G_PageObj_Path), CCA_GRect(10, 10, 60, 40), RectPath(0, 0, 40, 20), kRed);
        // The same shape in a boundary 15 mm wide is cut at page x = 25.
        FillObject(m_page->CreatePageObject(G_PageObj_Path), CCA_GRect(10, 50, 25, 80), RectPath(0, 0, 40, 20), kBlue);
        IG_PageObject *hidden = FillObject(m_page->CreatePageObject(G_PageObj_Path), CCA_GRect(60, 60, 90, 90),
                                           RectPath(0, 0, 30, 30), kRed);
        hidden->SetVisible(false);

        const QImage image = Render();
        QCOMPARE(image.pixelColor(40, 40), QColor(Qt::red));  // mm (20, 20)
        QCOMPARE(image.pixelColor(98, 58), QColor(Qt::red));  // mm (49, 29)
        QCOMPARE(image.pixelColor(102, 40), QColor(Qt::white)); // mm (51, 20)
        QCOMPARE(image.pixelColor(46, 120), QColor(Qt::blue));  // mm (23, 60)
        QCOMPARE(image.pixelColor(54, 120), QColor(Qt::white)); // mm (27, 60): clipped
        QCOMPARE(image.pixelColor(150, 150), QColor(Qt::white)); // invisible object
    }

    void ctmScalesTheObject()
    {
        // Unit square scaled by 10 and moved by 5 inside an object at (20,20): page 25..35.
        IG_PageObject *object =
            FillObject(m_page->CreatePageObject(G_PageObj_Path), CCA_GRect(20, 20, 60, 60), RectPath(0, 0, 1, 1), kRed);
        object->SetCTM(CCA_Matrix(10, 0, 0, 10, 5, 5));
        const QImage image = Render();
        QCOMPARE(image.pixelColor(52, 52), QColor(Qt::red));   // mm (26, 26)
        QCOMPARE(image.pixelColor(68, 68), QColor(Qt::red));   // mm (34, 34)
        QCOMPARE(image.pixelColor(46, 46), QColor(Qt::white)); // mm (23, 23)
        QCOMPARE(image.pixelColor(74, 74), QColor(Qt::white)); // mm (37, 37)
    }

    void annotationAppearanceIsRelativeToItsBoundary()
    {
        IG_Annot *annot = m_page->AddAnnot(G_AnnotType_Path, CCA_String(), -1, false, OMSharedPtr<const OMJson>());
        annot->SetBoundary(CCA_GRect(60, 60, 90, 80));
        IG_PageObject *object = annot->CreateAppearance()->InsertPageObject(G_PageObj_Path, -1, false);
        FillObject(object, CCA_GRect(0, 0, 30, 20), RectPath(0, 0, 30, 20), kBlue);

        QImage image = Render(true);
        QCOMPARE(image.pixelColor(150, 140), QColor(Qt::blue)); // mm (75, 70)
        QCOMPARE(image.pixelColor(118, 118), QColor(Qt::white)); // mm (59, 59)
        QCOMPARE(Render(false).pixelColor(150, 140), QColor(Qt::white));

        annot->SetVisible(false);
        image = Render(true);
        QCOMPARE(image.pixelColor(150, 140), QColor(Qt::white));
    }

    void dashPatternIsInMillimetres()
    {
        IG_PageObject *line = m_page->CreatePageObject(G_PageObj_Path);
        CCA_Path path;
        path.MoveTo(0, 5);
        path.LineTo(100, 5);
        line->SetBoundary(CCA_GRect(0, 85, 100, 95));
        line->SetPath(path);
        line->SetStroke(true);
        line->SetFill(false);
        line->SetLineWidth(2);
        const OFD_Color black(G_ColorSpace_RGB, 0, 255);
        line->SetStrokeColor(&black);
        CCA_ArrayTemplate<float> dashes;
        dashes.Add(4);
        dashes.Add(4);
        line->SetDashPattern(dashes);

        // 4 mm on, 4 mm off: pixels 0..7 drawn, 8..15 not, along y = 180 (mm 90).
        const QImage image = Render();
        QCOMPARE(image.pixelColor(4, 180), QColor(Qt::black));
        QCOMPARE(image.pixelColor(12, 180), QColor(Qt::white));
        QCOMPARE(image.pixelColor(20, 180), QColor(Qt::black));
        QCOMPARE(image.pixelColor(4, 178), QColor(Qt::black)); // 2 mm wide: 178..181
        QCOMPARE(image.pixelColor(4, 176), QColor(Qt::white));
        QCOMPARE(image.pixelColor(4, 183), QColor(Qt::white));
    }

private:
    QImage Render(bool annots = false)
    {
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        G_PageRenderer renderer(&painter, QTransform::fromScale(2, 2));
        renderer.PaintContent(m_page);
        if (annots)
            renderer.PaintAnnots(m_page);
        return image;
    }

    std::unique_ptr<OFD_Document> m_document;
    OFD_Page *m_page = nullptr;
};

QTEST_MAIN(tst_PageRenderer)
#include "tst_pagerenderer.moc"
