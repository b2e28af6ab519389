// The document window's canvas: the page and all art, antialiased, with pan
// and zoom. The document's view 0 follows this widget: its zoom is the
// document's zoom and its view-to-artwork conversion maps this widget's
// pixels, so a plug-in that asks for the mouse point or sets the zoom meets
// what the person sees.
//
// Art is painted progressively into an off-screen image, a slice of about
// 20 ms at a time from the event loop, so a heavy drawing never blocks input;
// until a new picture is complete the previous one stays on screen, moved to
// the current view. A drawing that takes longer than about 200 ms reports
// itself busy.
//
// The left button selects: a click picks the topmost object under the
// pointer (shift adds or removes it), a drag from empty space selects by
// rectangle. The middle button, or the left one with Space held, pans.
// Selected objects are outlined over the picture.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "host/paint/parallel_bands.h"
#include "qx_sdk.h"

namespace qx::host {
class Document;
}

namespace qx::gui {

class DocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit DocumentView(QWidget* parent = nullptr);

  // Show `document` (nullptr shows nothing) fitted to the window.
  void setDocument(host::Document* document);
  host::Document* document() const { return document_; }

  // The art changed: paint it again. Also notices a zoom set by a plug-in
  // and keeps the window's centre in place then.
  void documentChanged();

  void fitPage();
  void fitArt();
  void actualSize();  // 100 %: one point per pixel
  // Multiply the zoom by `factor`, keeping the artwork point under `anchor`
  // (widget pixels) in place.
  void zoomBy(double factor, QPointF anchor);
  void panBy(QPointF pixels);

  double zoom() const;
  QxRealPoint origin() const { return origin_; }
  // Widget pixel to artwork point and back, through the document's view.
  QxRealPoint toArtwork(QPoint pixel) const;
  QPointF toPixel(QxRealPoint artwork) const;

  // True when the picture on screen shows the current art at the current view.
  bool renderComplete() const { return !painting_ && !stale_; }
  // Paint whatever is left at once (tests, grabbing the window).
  void finishRender();
  bool busy() const { return busy_; }

  // The selection changed from outside the view (Select All, Delete, a
  // filter run): outline it anew.
  void selectionChanged();
  size_t selectedCount() const { return selection_.size(); }

 signals:
  void busyChanged(bool busy);
  void zoomChanged(double zoom);
  // The person changed the selection with the mouse.
  void selectionEdited();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void applyView();  // hand the view to the document and paint again
  // The document's zoom changed from `before`: keep the artwork point that
  // was under `anchor` (widget pixels) there, then show the new view.
  void zoomedAbout(QPointF anchor, double before);
  void restartRender();
  void paintSlice(qint64 budgetMs);
  void setBusy(bool busy);
  void fitRect(double left, double bottom, double right, double top);

  host::Document* document_ = nullptr;
  QxRealPoint origin_{0, 0};  // artwork point shown at pixel (0, 0)
  double lastZoom_ = 1;
  bool fitPending_ = false;  // fit the page once the widget has its real size

  // The picture being painted and the last complete one, each with the view
  // it was painted for.
  struct Picture {
    QImage image;
    QxRealPoint origin{0, 0};
    double scale = 1;
  };
  Picture work_, shown_;
  std::optional<paint::ParallelBands> painting_;  // painting the art into work_, until it is done
  bool stale_ = true;
  QTimer sliceTimer_;
  QElapsedTimer jobClock_;
  bool busy_ = false;

  void paintSelection(QPainter& p);
  void clickAt(QPoint pixel, bool add);

  QPoint dragFrom_;
  bool dragging_ = false;  // panning
  bool spaceHeld_ = false;
  // A left press: a click until the pointer moves a few pixels, then a
  // rubber band from pressAt_ to bandTo_.
  bool pressed_ = false, banding_ = false, bandAdds_ = false;
  QPoint pressAt_, bandTo_;
  // The selected top-level objects and their bounds, for the outlines.
  struct Selected {
    QxArtHandle art;
    QxRealRect bounds;
  };
  std::vector<Selected> selection_;
};

}  // namespace qx::gui
