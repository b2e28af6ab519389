// The document's swatches as a strip of small squares under the canvas, in
// list order, so a designer sees which colour each swatch number picks.
// A swatch's tooltip gives its number and name.
#pragma once

#include <QWidget>

namespace qx::host {
class Document;
}

namespace qx::gui {

class SwatchStrip : public QWidget {
  Q_OBJECT
 public:
  explicit SwatchStrip(QWidget* parent = nullptr);

  // Show the swatches of `document` (nullptr shows none); call again when
  // its list changes.
  void setDocument(const host::Document* document);
  // The swatch under widget pixel `at`; -1 when none.
  int swatchAt(QPoint at) const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QRect cell(int index) const;

  const host::Document* document_ = nullptr;
};

}  // namespace qx::gui
