#include "preview/PageView.h"

#include <qor/RuntimeError.h>
#include <qor/VSPrinter.h>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

#include "preview/ZoomSteps.h"
#include "surface/PagePainter.h"

namespace qor::preview {

namespace {

constexpr int kMargin = 10;          // pixels around the pages
constexpr int kGap = 10;             // pixels between pages shown side by side
constexpr int kCacheKilobytes = 256 * 1024;
constexpr std::array<int, 7> kPageCounts{1, 2, 4, 6, 8, 12, kMaxPagesShown};
const QColor kBackground(0x5f, 0x63, 0x68);
const QColor kShadow(0, 0, 0, 70);

// A4 portrait when there is nothing to measure.
constexpr double kDefaultPageWidth = 11906;
constexpr double kDefaultPageHeight = 16838;

}  // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    cache_.setMaxCost(kCacheKilobytes);
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

PageView::~PageView() = default;

void PageView::SetDocument(const VSPrinter* document) {
    document_ = document;
    previewPage_ = 1;
    Invalidate();
    Relayout();
    emit StateNotification(PageCount() > 0 ? 2 : 5);
}

void PageView::Invalidate() {
    cache_.clear();
    viewport()->update();
}

int PageView::PageCount() const { return document_ ? document_->PageCount() : 0; }

void PageView::SetPreviewPage(int page) {
    const int clamped = std::clamp(page, 1, std::max(1, PageCount()));
    if (clamped == previewPage_) return;
    previewPage_ = clamped;
    verticalScrollBar()->setValue(0);
    Relayout();
}

void PageView::SetPagesShown(int count) {
    if (count < 1 || count > kMaxPagesShown) throw RuntimeError(kErrInvalidProperty);
    pagesShown_ = count;
    if (count > 1) zoomMode_ = kZoomWholePage;
    Relayout();
}

double PageView::Zoom() const {
    if (zoomMode_ == kZoomPercentage) return zoom_;
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    return scale_ * 1440.0 / dpi * 100.0;
}

void PageView::SetZoom(double percent) {
    if (!(percent >= 10.0 && percent <= 1000.0)) throw RuntimeError(kErrInvalidProperty);
    const QPoint centre(viewport()->width() / 2, viewport()->height() / 2);
    const QPointF fraction = FractionAt(centre);
    zoom_ = percent;
    zoomMode_ = kZoomPercentage;
    pagesShown_ = 1;
    Relayout(&fraction, centre);
}

void PageView::SetZoomMode(int mode) {
    if (mode != kZoomPercentage && mode != kZoomWholePage && mode != kZoomPageWidth)
        throw RuntimeError(kErrInvalidProperty);
    if (mode == kZoomPercentage && zoomMode_ != kZoomPercentage) zoom_ = Zoom();
    zoomMode_ = mode;
    pagesShown_ = 1;
    Relayout();
}

int PageView::ScrollX() const { return horizontalScrollBar()->value(); }

double PageView::PageWidthTwips(int page) const {
    if (page < 1 || page > PageCount()) return kDefaultPageWidth;
    return document_->PageWidthOf(page);
}

double PageView::PageHeightTwips(int page) const {
    if (page < 1 || page > PageCount()) return kDefaultPageHeight;
    return document_->PageHeightOf(page);
}

double PageView::ScaleForMode(int* columns) const {
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    if (columns) *columns = 1;
    if (zoomMode_ == kZoomPercentage || PageCount() == 0) return zoom_ / 100.0 * dpi / 1440.0;

    const QSize area = maximumViewportSize();
    if (zoomMode_ == kZoomPageWidth) {
        const double width = PageWidthTwips(previewPage_);
        double scale = (area.width() - 2.0 * kMargin) / width;
        if (PageHeightTwips(previewPage_) * scale + 2.0 * kMargin > area.height()) {
            const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
            scale = (area.width() - 2.0 * kMargin - bar) / width;
        }
        return std::max(scale, 0.001);
    }

    // Whole page: the grid of columns and rows that shows the pages largest.
    double width = 0, height = 0;
    for (int p = previewPage_; p < previewPage_ + pagesShown_ && p <= PageCount(); ++p) {
        width = std::max(width, PageWidthTwips(p));
        height = std::max(height, PageHeightTwips(p));
    }
    double best = 0;
    for (int cols = 1; cols <= pagesShown_; ++cols) {
        const int rows = (pagesShown_ + cols - 1) / cols;
        const double sx = (area.width() - 2.0 * kMargin - (cols - 1) * kGap) / (cols * width);
        const double sy = (area.height() - 2.0 * kMargin - (rows - 1) * kGap) / (rows * height);
        const double s = std::min(sx, sy);
        if (s > best) {
            best = s;
            if (columns) *columns = cols;
        }
    }
    return std::max(best, 0.001);
}

QPointF PageView::ContentOffset() const {
    const QSize vp = viewport()->size();
    const double x = contentSize_.width() < vp.width() ? (vp.width() - contentSize_.width()) / 2.0
                                                        : -horizontalScrollBar()->value();
    const double y = contentSize_.height() < vp.height()
                         ? (vp.height() - contentSize_.height()) / 2.0
                         : -verticalScrollBar()->value();
    return {x, y};
}

QPointF PageView::FractionAt(QPoint viewportPos) const {
    if (contentSize_.isEmpty()) return {0.5, 0.5};
    const QPointF content = QPointF(viewportPos) - ContentOffset();
    return {content.x() / contentSize_.width(), content.y() / contentSize_.height()};
}

void PageView::Relayout(const QPointF* fraction, QPoint anchor) {
    int columns = 1;
    scale_ = ScaleForMode(&columns);
    slots_.clear();
    if (zoomMode_ == kZoomWholePage && pagesShown_ > 1) {
        double width = 0, height = 0;
        for (int p = previewPage_; p < previewPage_ + pagesShown_ && p <= PageCount(); ++p) {
            width = std::max(width, PageWidthTwips(p) * scale_);
            height = std::max(height, PageHeightTwips(p) * scale_);
        }
        const int rows = (pagesShown_ + columns - 1) / columns;
        for (int i = 0; i < pagesShown_; ++i) {
            const int page = previewPage_ + i;
            if (page > PageCount()) break;
            const double x = kMargin + (i % columns) * (width + kGap);
            const double y = kMargin + (i / columns) * (height + kGap);
            slots_.push_back({page, QRectF(x, y, PageWidthTwips(page) * scale_,
                                           PageHeightTwips(page) * scale_)});
        }
        contentSize_ = QSizeF(2 * kMargin + columns * width + (columns - 1) * kGap,
                              2 * kMargin + rows * height + (rows - 1) * kGap);
    } else {
        const QRectF rect(kMargin, kMargin, PageWidthTwips(previewPage_) * scale_,
                          PageHeightTwips(previewPage_) * scale_);
        if (PageCount() > 0) slots_.push_back({previewPage_, rect});
        contentSize_ = QSizeF(rect.width() + 2 * kMargin, rect.height() + 2 * kMargin);
    }

    // Fitted pages never scroll; hiding the bars keeps the fit from depending on them.
    const Qt::ScrollBarPolicy policy =
        zoomMode_ == kZoomWholePage ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    if (horizontalScrollBarPolicy() != policy) setHorizontalScrollBarPolicy(policy);
    if (verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
    const QSize vp = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, static_cast<int>(std::ceil(contentSize_.width())) - vp.width()));
    v->setRange(0, std::max(0, static_cast<int>(std::ceil(contentSize_.height())) - vp.height()));
    h->setPageStep(vp.width());
    v->setPageStep(vp.height());
    if (fraction) {
        h->setValue(static_cast<int>(std::lround(fraction->x() * contentSize_.width() - anchor.x())));
        v->setValue(static_cast<int>(std::lround(fraction->y() * contentSize_.height() - anchor.y())));
    }
    viewport()->setCursor(CanPan() ? Qt::OpenHandCursor : Qt::ArrowCursor);
    viewport()->update();
    EmitZoomIfChanged();
}

void PageView::EmitZoomIfChanged() {
    const double zoom = Zoom();
    if (zoom == reportedZoom_ && zoomMode_ == reportedMode_ && pagesShown_ == reportedPages_)
        return;
    reportedZoom_ = zoom;
    reportedMode_ = zoomMode_;
    reportedPages_ = pagesShown_;
    emit ZoomChanged();
}

bool PageView::CanPan() const {
    return horizontalScrollBar()->maximum() > 0 || verticalScrollBar()->maximum() > 0;
}

const QPixmap* PageView::PagePixmap(int page, const QSizeF& size) {
    const double ratio = devicePixelRatioF();
    if (cacheScale_ != scale_ * ratio) {
        cache_.clear();
        cacheScale_ = scale_ * ratio;
    }
    if (const QPixmap* hit = cache_.object(page)) return hit;
    const QSize pixels(std::max(1, static_cast<int>(std::ceil(size.width() * ratio))),
                       std::max(1, static_cast<int>(std::ceil(size.height() * ratio))));
    auto* pixmap = new QPixmap(pixels);
    pixmap->setDevicePixelRatio(ratio);
    pixmap->fill(Qt::white);
    {
        QPainter painter(pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        surface::PaintPage(painter, *document_, page, scale_);
    }
    const int cost = std::max(1, static_cast<int>(static_cast<qint64>(pixels.width()) *
                                                  pixels.height() * 4 / 1024));
    // A page larger than the whole cache is drawn once and kept until the next page.
    if (cost > kCacheKilobytes) cache_.setMaxCost(cost);
    cache_.insert(page, pixmap, cost);
    return cache_.object(page);
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    if (!document_) return;
    const QPointF offset = ContentOffset();
    const QRectF visible(viewport()->rect());
    for (const Slot& slot : slots_) {
        const QRectF target = slot.rect.translated(offset);
        if (!target.intersects(visible)) continue;
        painter.fillRect(target.translated(3, 3), kShadow);
        if (const QPixmap* pixmap = PagePixmap(slot.page, slot.rect.size()))
            painter.drawPixmap(target.topLeft(), *pixmap);
    }
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void PageView::scrollContentsBy(int, int) { viewport()->update(); }

int PageView::PageAt(QPoint viewportPos) const {
    const QPointF content = QPointF(viewportPos) - ContentOffset();
    for (const Slot& slot : slots_)
        if (slot.rect.contains(content)) return slot.page;
    return 0;
}

QRectF PageView::PageRectInView(int page) const {
    for (const Slot& slot : slots_)
        if (slot.page == page) return slot.rect.translated(ContentOffset());
    return {};
}

void PageView::ZoomAround(double percent, QPoint viewportPos) {
    const QPointF fraction = FractionAt(viewportPos);
    zoom_ = percent;
    zoomMode_ = kZoomPercentage;
    pagesShown_ = 1;
    Relayout(&fraction, viewportPos);
}

void PageView::ZoomInAt(QPoint viewportPos) {
    const double zoom = Zoom();
    if (zoom >= kZoomInLimit) return;
    ZoomAround(ZoomInStep(zoom), viewportPos);
}

void PageView::ZoomOutAt(QPoint viewportPos) {
    if (zoomMode_ == kZoomWholePage) {
        ShowMorePages();
        return;
    }
    const double zoom = Zoom();
    if (zoom <= kZoomOutLimit) return;
    ZoomAround(std::max(ZoomOutStep(zoom), ZoomInStep(0.0)), viewportPos);
}

void PageView::ShowMorePages() {
    const auto next = std::upper_bound(kPageCounts.begin(), kPageCounts.end(), pagesShown_);
    if (next == kPageCounts.end()) return;
    pagesShown_ = *next;
    zoomMode_ = kZoomWholePage;
    Relayout();
}

void PageView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && event->button() == Qt::LeftButton) {
        ZoomInAt(pos);
        emit UserAction();
    } else if (ctrl && event->button() == Qt::RightButton) {
        ZoomOutAt(pos);
        emit UserAction();
    } else if (event->button() == Qt::LeftButton && CanPan()) {
        dragging_ = true;
        dragged_ = false;
        dragStart_ = event->globalPosition().toPoint();
        dragScrollStart_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint delta = event->globalPosition().toPoint() - dragStart_;
    horizontalScrollBar()->setValue(dragScrollStart_.x() - delta.x());
    verticalScrollBar()->setValue(dragScrollStart_.y() - delta.y());
    dragged_ = dragged_ || !delta.isNull();
    event->accept();
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        viewport()->setCursor(CanPan() ? Qt::OpenHandCursor : Qt::ArrowCursor);
        if (dragged_) emit UserAction();
    }
    event->accept();
}

void PageView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->modifiers() & Qt::ControlModifier) {
        mousePressEvent(event);   // a Ctrl click is a zoom step however fast it follows
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const int page = PageAt(pos);
        if (zoomMode_ == kZoomWholePage && pagesShown_ > 1 && page > 0) {
            previewPage_ = page;
            pagesShown_ = 1;
            zoomMode_ = kZoomPageWidth;
            verticalScrollBar()->setValue(0);
            Relayout();
            emit PageChanged();
        } else {
            ZoomInAt(pos);
        }
        emit UserAction();
    } else if (event->button() == Qt::RightButton) {
        ZoomOutAt(pos);
        emit UserAction();
    }
    event->accept();
}

void PageView::wheelEvent(QWheelEvent* event) {
    // Fitted pages do not scroll: the wheel turns the pages instead.
    if (zoomMode_ != kZoomWholePage) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        const int before = previewPage_;
        SetPreviewPage(previewPage_ - steps * pagesShown_);
        if (previewPage_ != before) emit PageChanged();
    }
    event->accept();
}

}  // namespace qor::preview
