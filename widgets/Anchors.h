// Anchoring of child controls to their parent's edges.
#pragma once

#include <vector>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace velmora::widgets {

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// Watches a parent widget and places its anchored children at each resize.
class AnchorLayout : public QObject {
  Q_OBJECT

 public:
  // Owned by, and watching, `parent`.
  explicit AnchorLayout(QWidget* parent);

  // Records the child's geometry and the parent's size now: the layout the
  // child's place was designed for. Adding a child again replaces its record.
  void add(QWidget* child, int anchors);
  void remove(QWidget* child);

  // Where a child designed at `original` in a parent of size `designed`
  // stands in a parent of size `now`. Along an axis: both edges anchored
  // stretch with the parent; only the far edge keeps its distance to it;
  // only the near edge keeps its place; neither keeps the child's centre at
  // the same fraction of the parent's extent. Sizes never go below 0.
  static QRect place(const QRect& original, const QSize& designed, const QSize& now, int anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QPointer<QWidget> child;
    QRect original;
    QSize designed;
    int anchors = 0;
  };

  void placeAll();
  Entry* entryFor(const QObject* child);

  QWidget* parent_;
  std::vector<Entry> entries_;
  // True while this layout moves children, so their own moves can be told apart.
  bool placing_ = false;
};

}  // namespace velmora::widgets
