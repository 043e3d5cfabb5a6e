// The page view of the preview window: shows the pages of a surface document at a zoom,
// one page or several side by side, and offers the mouse actions the help window describes.
#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QPixmap>
#include <QPoint>
#include <QRectF>
#include <QVector>

#include "core/PreviewHost.h"   // the zoom modes kZoomPercentage, kZoomWholePage, kZoomPageWidth

namespace qor {
class VSPrinter;
}

namespace qor::preview {

// Most pages shown at once, and the counts a right double-click steps through.
inline constexpr int kMaxPagesShown = 18;

// A PageView shows the ended document of a VSPrinter. It does not own the surface; the
// surface must outlive the view or be detached with SetDocument(nullptr).
//
// Values (the names of the surface's preview values):
// - PreviewPage: first page shown, 1-based, always kept within 1..PageCount.
// - PagesShown: pages shown side by side, 1..18; more than 1 only in whole-page view.
// - Zoom: percent; 100 % is the paper's real size at the screen's logical resolution. In
//   whole-page and page-width view it is the zoom that fits the page(s) into the view.
// - ZoomMode: 0 percentage, 3 whole page, 4 page width.
//
// Mouse: left double-click or Ctrl + left press zooms in by one step of the 25 % grid (up
// to 250 %); right double-click or Ctrl + right press zooms out by one step (down to 50 %);
// in whole-page view a right double-click (or Ctrl + right) shows more pages (2, 4, 6, 8,
// 12, 18) and a left double-click on one of several pages shows that page alone at page
// width (zoom mode 4). Dragging with the left button moves a page larger than the view.
//
// Rendered pages are cached per scale, so repainting (scrolling, exposing) only copies
// pixmaps.
class PageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;

    // Shows `document` (an ended document; nullptr shows nothing) from page 1 and drops
    // every cached picture. Emits StateNotification(2) when the document has pages, else
    // StateNotification(5).
    void SetDocument(const VSPrinter* document);
    const VSPrinter* Document() const { return document_; }
    // Drops the cached pictures: call after the document's records changed.
    void Invalidate();

    int PageCount() const;
    int PreviewPage() const { return previewPage_; }
    // Shows page `page` first, clamped to 1..PageCount (1 without a document).
    void SetPreviewPage(int page);
    int PagesShown() const { return pagesShown_; }
    // Shows `count` pages at once in whole-page view (1..18; others throw
    // RuntimeError(380)). More than 1 switches to whole-page view.
    void SetPagesShown(int count);
    double Zoom() const;
    // Percentage view at `percent` (10..1000; others throw RuntimeError(380)), one page.
    void SetZoom(double percent);
    int ZoomMode() const { return zoomMode_; }
    // Zoom mode 0, 3 or 4 (others throw RuntimeError(380)); shows one page. Switching to
    // percentage view keeps the zoom that was in effect.
    void SetZoomMode(int mode);
    // The horizontal scroll position in pixels: 0 while the page's left edge is in view.
    int ScrollX() const;

    // Where page `page` lies in the viewport, in pixels; empty when it is not shown.
    QRectF PageRectInView(int page) const;
    // Logical pixels per twip at the present zoom (the screen's resolution included).
    double PixelsPerTwip() const { return scale_; }

signals:
    // The zoom, the zoom mode or the number of pages shown changed (by the program or the
    // user, or because the view was resized in a fitted mode).
    void ZoomChanged();
    // The user changed the page shown with the mouse.
    void PageChanged();
    // The user finished a mouse action on the pages (zoom, more pages, moving the page).
    void UserAction();
    // 2: a document is ready for display; 5: there is no document to show.
    void StateNotification(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Slot {
        int page;
        QRectF rect;   // in content pixels
    };

    // Pixels per twip for the present mode, and the columns of the whole-page grid.
    double ScaleForMode(int* columns = nullptr) const;
    // Lays the pages out again. With `anchor` set, the point of the content under the
    // viewport position `anchor` (as a fraction of the content) stays under it.
    void Relayout(const QPointF* fraction = nullptr, QPoint anchor = {});
    QPointF ContentOffset() const;   // where content (0, 0) lies in the viewport
    QPointF FractionAt(QPoint viewportPos) const;
    void EmitZoomIfChanged();
    const QPixmap* PagePixmap(int page, const QSizeF& size);
    int PageAt(QPoint viewportPos) const;
    bool CanPan() const;
    void ZoomInAt(QPoint viewportPos);
    void ZoomOutAt(QPoint viewportPos);
    void ShowMorePages();
    void ZoomAround(double percent, QPoint viewportPos);
    double PageWidthTwips(int page) const;
    double PageHeightTwips(int page) const;

    const VSPrinter* document_ = nullptr;
    int previewPage_ = 1;
    int pagesShown_ = 1;
    int zoomMode_ = kZoomWholePage;
    double zoom_ = 100.0;        // the percentage of zoom mode 0
    double scale_ = 0.0;         // pixels per twip in effect (no device pixel ratio)
    double reportedZoom_ = -1;   // last zoom announced by ZoomChanged
    int reportedMode_ = -1;
    int reportedPages_ = -1;
    QVector<Slot> slots_;
    QSizeF contentSize_;
    QCache<int, QPixmap> cache_;
    double cacheScale_ = 0.0;
    bool dragging_ = false;
    bool dragged_ = false;
    QPoint dragStart_;
    QPoint dragScrollStart_;
};

}  // namespace qor::preview
