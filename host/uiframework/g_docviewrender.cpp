#include "g_docviewrender.h"

void G_DocViewRender::PaintSceneStart(QPainter *) {}
void G_DocViewRender::PaintSceneEnd(QPainter *) {}
void G_DocViewRender::PaintBeforePage(QPainter *, GR_PageGraphicItem *) {}
void G_DocViewRender::PaintAfterPage(QPainter *, GR_PageGraphicItem *) {}
void G_DocViewRender::ResetViewRender() {}
